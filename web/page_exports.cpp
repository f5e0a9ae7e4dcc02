// SPDX-License-Identifier: GPL-3.0-or-later
// The functions the page's glue calls: one page, one program. Texts come
// and go as UTF-8; a text handed back stays valid until the next call that
// hands one back.
#include <emscripten.h>

#include <memory>
#include <string>

#include "web/page_app.h"

namespace {

std::shared_ptr<cantiere::SheetArt> art = std::make_shared<cantiere::SheetArt>();
std::unique_ptr<cantiere::PageApp> app;
std::string handedBack;

const char* handBack(std::string text) {
  handedBack = std::move(text);
  return handedBack.c_str();
}

}  // namespace

extern "C" {

EMSCRIPTEN_KEEPALIVE int page_add_picture(const char* path, int width, int height,
                                          const std::uint8_t* rgba) {
  return art->addDecoded(path, width, height, rgba, static_cast<std::size_t>(width) * height * 4);
}
EMSCRIPTEN_KEEPALIVE int page_add_bitmap(const char* path, const std::uint8_t* bytes, int size) {
  return size > 0 && art->addBitmap(path, bytes, static_cast<std::size_t>(size));
}
EMSCRIPTEN_KEEPALIVE void page_sheet_done(int artScale, int whole) {
  art->completed(artScale, whole != 0);
  if (app && whole) app->artArrived(artScale);
}

EMSCRIPTEN_KEEPALIVE void page_create(int trace) {
  app = std::make_unique<cantiere::PageApp>(art, trace != 0);
}
EMSCRIPTEN_KEEPALIVE void page_start() { app->start(); }
EMSCRIPTEN_KEEPALIVE int page_viewport(double w, double h, double ratio) { return app->viewport(w, h, ratio); }
EMSCRIPTEN_KEEPALIVE int page_zoom(int percent) { return app->setZoom(percent); }
EMSCRIPTEN_KEEPALIVE int page_zoom_now() { return app->zoom(); }
EMSCRIPTEN_KEEPALIVE void page_frame() { app->frame(); }
EMSCRIPTEN_KEEPALIVE void page_wake() { app->wake(); }
EMSCRIPTEN_KEEPALIVE void page_timer(int id) { app->timer(id); }

EMSCRIPTEN_KEEPALIVE void page_choose_sound(int index) { app->chooseSound(index); }
EMSCRIPTEN_KEEPALIVE void page_play() { app->play(); }
EMSCRIPTEN_KEEPALIVE void page_link(int web) { app->link(web != 0); }

EMSCRIPTEN_KEEPALIVE int page_pointer_down(int id, double x, double y, int button) {
  return app->pointerDown(id, x, y, button);
}
EMSCRIPTEN_KEEPALIVE void page_pointer_move(int id, double x, double y, int anyButton) {
  app->pointerMove(id, x, y, anyButton != 0);
}
EMSCRIPTEN_KEEPALIVE int page_pointer_up(int id, double x, double y, int button) {
  return app->pointerUp(id, x, y, button);
}
EMSCRIPTEN_KEEPALIVE int page_key(int down, int code) { return app->key(down != 0, code); }
EMSCRIPTEN_KEEPALIVE void page_release_keys() { app->releaseKeys(); }
EMSCRIPTEN_KEEPALIVE void page_menu(int entry) { app->menu(entry); }
EMSCRIPTEN_KEEPALIVE void page_set_effects(int on) { app->setEffects(on != 0); }
EMSCRIPTEN_KEEPALIVE int page_effects() { return app->effects(); }
EMSCRIPTEN_KEEPALIVE void page_pad(int pad, int kind, int index, double value) {
  app->pad(pad, kind, index, value);
}

EMSCRIPTEN_KEEPALIVE int page_has_game() { return app->hasGame(); }
EMSCRIPTEN_KEEPALIVE const char* page_save_game(const char* name) { return handBack(app->saveLastGame(name)); }
EMSCRIPTEN_KEEPALIVE const char* page_session() { return handBack(app->session()); }
// The file's bytes as they are (a NUL among them included); the glue
// frees them.
EMSCRIPTEN_KEEPALIVE void page_replay(const char* name, const char* bytes, int size) {
  app->replay(name, std::string(bytes, size > 0 ? static_cast<std::size_t>(size) : 0));
}
EMSCRIPTEN_KEEPALIVE int page_replaying() { return app->replaying(); }
EMSCRIPTEN_KEEPALIVE const char* page_trace() { return handBack(app->trace()); }
EMSCRIPTEN_KEEPALIVE double page_now() { return static_cast<double>(app->now()); }
}
