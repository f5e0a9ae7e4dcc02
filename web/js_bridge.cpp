// SPDX-License-Identifier: GPL-3.0-or-later
// The calls of js_bridge.h, each handed to the page's glue object.
#include "web/js_bridge.h"

#include <emscripten.h>

EM_JS(double, js_now, (), { return performance.now(); });
EM_JS(void, js_wake_in, (double ms), { Module.page.wakeIn(ms); });
EM_JS(void, js_no_wake, (), { Module.page.noWake(); });
EM_JS(void, js_timer, (int id, double ms), { Module.page.timer(id, ms); });
EM_JS(void, js_cancel_timer, (int id), { Module.page.cancelTimer(id); });
EM_JS(void, js_request_frame, (), { Module.page.requestFrame(); });
EM_JS(void, js_request_frame_after, (int ms), { Module.page.requestFrameAfter(ms); });
EM_JS(void, js_canvas, (int dw, int dh, double left, double top, double w, double h),
      { Module.page.canvas(dw, dh, left, top, w, h); });
EM_JS(void, js_put, (const std::uint8_t* rgba, int stride, int rows, int x, int y, int w, int h),
      { Module.page.put(rgba, stride, rows, x, y, w, h); });
EM_JS(void, js_show_handheld, (int shown), { Module.page.showHandheld(shown); });
EM_JS(void, js_hint, (const char* text, int help),
      { Module.page.hint(text ? UTF8ToString(text) : "", help); });
EM_JS(void, js_title, (const char* text), { Module.page.title(UTF8ToString(text)); });
EM_JS(void, js_launcher, (int visible, int index, int enabled, int slide),
      { Module.page.launcher(visible, index, enabled, slide); });
EM_JS(void, js_about, (), { Module.page.about(); });
EM_JS(void, js_open, (const char* target), { Module.page.open(UTF8ToString(target)); });
EM_JS(void, js_beep, (), { Module.page.beep(); });
EM_JS(void, js_message, (const char* text), { Module.page.message(UTF8ToString(text)); });
EM_JS(void, js_exit, (), { Module.page.exit(); });
EM_JS(char*, js_storage_get, (const char* key), {
  var v = Module.page.storageGet(UTF8ToString(key));
  if (v === null) return 0;
  var n = lengthBytesUTF8(v) + 1;
  var p = _malloc(n);
  stringToUTF8(v, p, n);
  return p;
});
EM_JS(int, js_storage_set, (const char* key, const char* value),
      { return Module.page.storageSet(UTF8ToString(key), UTF8ToString(value)) ? 1 : 0; });
EM_JS(int, js_audio_init, (int restMs), { return Module.page.audioInit(restMs) ? 1 : 0; });
EM_JS(void, js_audio_load, (int h, const char* name, const std::int16_t* frames, int count, int rate),
      { Module.page.audioLoad(h, UTF8ToString(name), frames, count, rate); });
EM_JS(void, js_audio_play, (int h), { Module.page.audioPlay(h); });
EM_JS(void, js_audio_stop_all, (), { Module.page.audioStopAll(); });
EM_JS(void, js_audio_free, (int h), { Module.page.audioFree(h); });
