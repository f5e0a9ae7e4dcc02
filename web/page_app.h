// SPDX-License-Identifier: GPL-3.0-or-later
// The handheld as a web page: the program on the event clock, fed by the
// page's pointer, keys and controllers through the one input path (so the
// recorder keeps every input and a game can be saved and replayed), drawn
// on the canvas by the renderer, heard through Web Audio, its settings in
// the browser's storage. The page's glue (page/cantiere.js) calls the
// functions of page_exports.cpp, which land here.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "common/clock/time_anchor.h"
#include "common/input/model_input.h"
#include "common/replay/input_recorder.h"
#include "common/replay/replay_session.h"
#include "core/launcher/program.h"
#include "core/script/traced_settings.h"
#include "web/js_clock_host.h"
#include "web/local_storage_settings.h"
#include "web/page_desktop.h"
#include "web/page_pads.h"
#include "web/page_trace.h"
#include "web/page_view.h"
#include "web/web_audio_output.h"

namespace cantiere {

// The glue's timers, by number.
enum PageTimer : int { RepeatTimer = 1, ReplayWorkTimer = 2, ReplayPumpTimer = 3 };

// What a pointer press on the canvas came to.
enum PointerResult : int { NotTaken = 0, Taken = 1, OpenMenu = 2 };

class PageApp : public SurfaceListener {
 public:
  PageApp(std::shared_ptr<SheetArt> art, bool trace);
  ~PageApp() override;

  // Starts the program as the desktop does; the launcher shows.
  void start();
  // The art scale the viewport needs, when its sheet is still to come.
  int viewport(double width, double height, double ratio);
  int setZoom(int percent);
  int zoom() const { return view_.zoomPercent(); }
  void frame() { view_.frame(); }
  // The rest of an art scale's pictures came.
  void artArrived(int artScale) { view_.artArrived(artScale); }
  // The clock's wake-up has come.
  void wake();
  void timer(int id);

  // The launcher.
  void chooseSound(int index);
  void play();
  void link(bool web);

  // Pointer events in CSS pixels of the viewport; `button` 0 left, 1
  // middle, 2 right; `id` tells pointers apart (several fingers).
  int pointerDown(int id, double x, double y, int button);
  void pointerMove(int id, double x, double y, bool anyButton);
  int pointerUp(int id, double x, double y, int button);
  // A virtual-key code; true when the page should not act on it itself.
  bool key(bool down, int code);
  // Lets go of whatever the keyboard holds (the page lost the keyboard).
  void releaseKeys();
  void menu(int entry);
  void setEffects(bool on);
  bool effects() const { return view_.effects(); }
  void pad(int pad, int kind, int index, double value);

  bool hasGame() const { return recorder_.hasGame(); }
  // The last game as a file, "" (after a message) when there is none.
  std::string saveLastGame(const std::string& name);
  std::string session();
  void replay(const std::string& name, std::string text);
  bool replaying() const { return replayShown_; }

  const std::string& trace() const { return trace_.text(); }
  const Image& buffer() const { return view_.buffer(); }
  Millis now() const { return clock_.now(); }

  void litChanged(Element e, bool lit) override;
  void pictureChanged(Element e) override;

 private:
  class ReplayListener;
  bool playing() const;
  void afterInput();
  void placed(const WindowGeometry& g);
  void replayWork();
  void replayPump();
  void showReplay();
  void endReplay();
  bool dragging() const;

  std::shared_ptr<SheetArt> art_;
  Scheduler scheduler_;
  JsClockHost host_;
  EventClock clock_;
  AnchoredTimeOfDay time_;
  WebAudioOutput output_;
  Sound sound_;
  PageTrace trace_;
  LocalStorageSettings store_;
  TracedSettings settings_;
  PageDesktop desktop_;
  Program program_;
  InputRecorder recorder_;
  TimeAnchor anchor_;
  ModelInput input_;
  PageView view_;
  PagePads pads_;
  double viewportWidth_ = 0, viewportHeight_ = 0, ratio_ = 1;
  bool handheldShown_ = false;
  bool wantTrace_ = false;

  // The pointer that acts as the mouse (the first one down), and the one on
  // the case's cross pad or jump button.
  std::optional<int> mouse_, control_;
  // Keys held down, let go should the page lose the keyboard.
  std::vector<int> keysHeld_;
  int launcherShown_[4] = {-2, -2, -2, -2};

  std::unique_ptr<ReplaySession> replay_;
  std::unique_ptr<ReplayListener> replayListener_;
  std::string replayName_;
  bool replayShown_ = false;
  bool ticking_ = false;  // inside the clock's wake-up
  bool handheldWasShown_ = false;
  double replayWall0_ = 0;
};

}  // namespace cantiere
