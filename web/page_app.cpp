// SPDX-License-Identifier: GPL-3.0-or-later
#include "web/page_app.h"

#include <algorithm>

#include "common/lcd/lcd_effects_setting.h"
#include "core/handheld/pointer.h"
#include "web/js_bridge.h"

namespace cantiere {
namespace {

constexpr const char* kTitle = "Cantiere (Ludoria) Simulator";

MouseButton buttonOf(int button) {
  return button == 2 ? MouseButton::Right : button == 1 ? MouseButton::Middle : MouseButton::Left;
}

// The menu's shortcuts, as the desktop's menu actions take them.
std::optional<MenuEntry> shortcutOf(int key) {
  switch (key) {
    case VkF1: return MenuEntry::PM_1About;
    case VkF2: return MenuEntry::PM_3Readme;
    case VkF3: return MenuEntry::PM_4Whatsnew;
    case VkF4: return MenuEntry::PM_6Instruct;
    case VkEsc: return MenuEntry::PM_10Exit;
    default: return std::nullopt;
  }
}

PageView::Host canvasHost() {
  return {[](int dw, int dh, double l, double t, double w, double h) { js_canvas(dw, dh, l, t, w, h); },
          [](const std::uint8_t* rgba, int stride, int rows, int x, int y, int w, int h) {
            js_put(rgba, stride, rows, x, y, w, h);
          },
          [] { js_request_frame(); }, [](int ms) { js_request_frame_after(ms); }};
}

}  // namespace

// A replay's surface drawn on its own virtual time.
class PageApp::ReplayListener : public SurfaceListener {
 public:
  explicit ReplayListener(PageApp& app) : app_(app) {}
  void litChanged(Element e, bool lit) override { app_.view_.litChanged(e, lit, app_.replay_->now()); }
  void pictureChanged(Element e) override { app_.view_.pictureChanged(e, app_.replay_->now()); }

 private:
  PageApp& app_;
};

PageApp::PageApp(std::shared_ptr<SheetArt> art, bool trace)
    : art_(std::move(art)),
      clock_(scheduler_, host_),
      time_(scheduler_),
      sound_(output_),
      trace_(scheduler_),
      settings_(store_, [this](const std::string& line) { trace_.event(line); }),
      desktop_(trace_),
      program_(HandheldServices{scheduler_, time_, sound_, settings_, desktop_}),
      recorder_(program_, time_, desktop_),
      anchor_(time_),
      input_(program_, clock_),
      view_(program_.form1.surface, art_, canvasHost(), [this] { return clock_.now(); }),
      pads_(program_, input_, [this] { return playing(); },
            [](int ms) { ms < 0 ? js_cancel_timer(RepeatTimer) : js_timer(RepeatTimer, ms); }) {
  trace_.enabled = false;
  wantTrace_ = trace;
  sound_.setListener(&trace_);
  program_.form1.surface.setListener(this);
  desktop_.screenSize = [this] { return view_.placement().screen(); };
  desktop_.moved = [this](const WindowGeometry& g) { placed(g); };
  desktop_.launcherShown = [this](bool shown) {
    if (shown) return;  // the launcher's state goes out after each input
    handheldShown_ = true;
    js_show_handheld(1);
  };
  desktop_.ended = [this] {
    // Nothing runs on: the page says so and offers to start again.
    clock_.pause();
    js_exit();
  };
  // The page's own settings go to the store untraced, as the desktop's do.
  view_.setEffects(lcdEffectsOn(store_));
  input_.setRecorder(&recorder_);
  anchor_.anchored = [this](const WallTime& wall) { recorder_.anchored(scheduler_.now(), wall); };
  clock_.onDue([this](Millis due) { recorder_.beforeTicks(due); });
  clock_.onInstant([this] { recorder_.afterTicks(scheduler_.now()); });
  // The slideshow changes on ticks.
  clock_.onTicks([this] { afterInput(); });
}

PageApp::~PageApp() { program_.form1.surface.setListener(nullptr); }

void PageApp::start() {
  anchor_.take();
  anchor_.follow(clock_);
  // At virtual time 0, the instant of the first anchor, as a replay starts.
  program_.start();
  recorder_.started();
  trace_.enabled = wantTrace_;
  view_.place(program_.form1.window(), false);
  clock_.rearm();
  afterInput();
}

int PageApp::viewport(double width, double height, double ratio) {
  viewportWidth_ = width;
  viewportHeight_ = height;
  ratio_ = ratio;
  const int zoom = ViewScale::validZoom(store_.readInt("Zoom", 100));
  return view_.setViewport(width, height, ratio, zoom);
}

int PageApp::setZoom(int percent) {
  percent = ViewScale::validZoom(percent);
  // A press in progress keeps the geometry it began with.
  if (percent == view_.zoomPercent() || program_.pointer.captured() != NoElement) return 0;
  const int missing = view_.setViewport(viewportWidth_, viewportHeight_, ratio_, percent);
  if (missing == 0) store_.writeInt("Zoom", percent);
  return missing;
}

void PageApp::setEffects(bool on) {
  view_.setEffects(on);
  storeLcdEffects(store_, on);
}

void PageApp::wake() {
  // What the model does on its own ticks, not at a person's hand.
  ticking_ = true;
  if (host_.wake) host_.wake();
  ticking_ = false;
  afterInput();
}

void PageApp::timer(int id) {
  switch (id) {
    case RepeatTimer: pads_.repeat(); break;
    case ReplayWorkTimer: replayWork(); break;
    case ReplayPumpTimer: replayPump(); break;
    default: break;
  }
}

bool PageApp::playing() const {
  return handheldShown_ && !replayShown_ && !desktop_.exited();
}

void PageApp::afterInput() {
  const Launcher& l = program_.splash;
  const int state[4] = {l.visible && !replayShown_ && !desktop_.exited() ? 1 : 0, l.soundIndex,
                        l.playEnabled ? 1 : 0, l.slideShown};
  if (std::equal(state, state + 4, launcherShown_)) return;
  std::copy(state, state + 4, launcherShown_);
  js_launcher(state[0], state[1], state[2], state[3]);
}

bool PageApp::dragging() const {
  const Pointer& p = program_.pointer;
  return isDragSurface(p.captured()) && p.heldButton() == MouseButton::Left;
}

void PageApp::placed(const WindowGeometry& g) {
  if (!replayShown_) view_.place(g, dragging());
}

void PageApp::litChanged(Element e, bool lit) {
  trace_.litChanged(e, lit);
  if (!replayShown_) view_.litChanged(e, lit, scheduler_.now(), !ticking_);
}

void PageApp::pictureChanged(Element e) {
  trace_.pictureChanged(program_.form1.surface, e);
  if (!replayShown_) view_.pictureChanged(e, scheduler_.now(), !ticking_);
}

void PageApp::chooseSound(int index) {
  if (desktop_.exited() || replayShown_) return;
  clock_.run([&] { program_.splash.CB_SoundChange(index); });
  afterInput();
}

void PageApp::play() {
  if (desktop_.exited() || replayShown_ || !program_.splash.visible) return;
  // The driver's `play` chooses the entry and presses PLAY, as here.
  if (program_.splash.soundIndex >= 0) {
    input_.deliver({ModelInput::play(program_.splash.soundIndex)});
  } else {
    clock_.run([&] { program_.splash.Puls_PlayClick(); });
  }
  afterInput();
}

void PageApp::link(bool web) {
  clock_.run([&] { web ? program_.splash.La_HttpClick() : program_.splash.La_EmailClick(); });
}

int PageApp::pointerDown(int id, double x, double y, int button) {
  if (!playing() || !view_.onCase(x, y)) return NotTaken;
  const CataloguePoint at = view_.placement().clientPoint(x, y);
  Pointer& pointer = program_.pointer;
  if (button == 0 && !control_ && program_.form1.surface.lit(Im_Base)) {
    const HandheldInput c = PagePads::caseControl(at.x, at.y);
    if (c != HandheldInput::None) {
      control_ = id;
      pads_.holdCaseControl(c);
      afterInput();
      return Taken;
    }
  }
  // One pointer at a time is the mouse; other fingers meanwhile do nothing.
  if (mouse_ && *mouse_ != id && pointer.captured() != NoElement) return Taken;
  // A press still held that lost its release (the pointer left the page
  // while held): let it go, or no press would reach the handheld again.
  if (pointer.captured() != NoElement) input_.deliver({ModelInput::release(pointer.heldButton())});
  mouse_ = id;
  js_hint(nullptr, 0);
  input_.deliver({ModelInput::press(at.x, at.y, buttonOf(button))});
  afterInput();
  return Taken;
}

void PageApp::pointerMove(int id, double x, double y, bool anyButton) {
  if (!playing()) return;
  CataloguePoint at = view_.placement().clientPoint(x, y);
  if (control_ && *control_ == id) {
    // A thumb sliding over the pad changes direction; off it, lets go.
    pads_.holdCaseControl(PagePads::caseControl(at.x, at.y));
    return;
  }
  const Pointer& pointer = program_.pointer;
  if (mouse_ && *mouse_ == id && pointer.captured() != NoElement) {
    if (dragging())
      at = view_.placement().heldInside(at, info(pointer.captured()).rect, program_.form1.DragX,
                                        program_.form1.DragY);
    input_.deliver({ModelInput::move(at.x, at.y)});
    return;
  }
  if (anyButton || mouse_) return;
  // Hints and cursors follow a pointer that holds nothing.
  const Element e = view_.onCase(x, y) ? hitTest(program_.form1.surface, at.x, at.y) : NoElement;
  const ElementHint* hint = e == NoElement ? nullptr : hintOf(e);
  js_hint(hint ? hint->text : nullptr, hint && hint->helpCursor ? 1 : 0);
}

int PageApp::pointerUp(int id, double x, double y, int button) {
  if (control_ && *control_ == id) {
    control_.reset();
    pads_.holdCaseControl(HandheldInput::None);
    afterInput();
    return Taken;
  }
  if (!mouse_ || *mouse_ != id) return NotTaken;
  mouse_.reset();
  Pointer& pointer = program_.pointer;
  const MouseButton b = buttonOf(button);
  if (pointer.captured() != NoElement && pointer.heldButton() == b && !desktop_.exited()) {
    CataloguePoint at = view_.placement().clientPoint(x, y);
    if (dragging())
      at = view_.placement().heldInside(at, info(pointer.captured()).rect, program_.form1.DragX,
                                        program_.form1.DragY);
    // The release counts where it happens, as a move there would have told.
    if (at != CataloguePoint{pointer.x(), pointer.y()}) {
      input_.deliver({ModelInput::move(at.x, at.y), ModelInput::release(b)});
    } else {
      input_.deliver({ModelInput::release(b)});
    }
  }
  afterInput();
  return b == MouseButton::Right && !desktop_.exited() ? OpenMenu : Taken;
}

bool PageApp::key(bool down, int code) {
  if (desktop_.exited()) return false;
  if (replayShown_) {
    if (!down) return true;
    if (code == VkEsc) {
      endReplay();
    } else if (code == '1' || code == '2' || code == '4') {
      replay_->setSpeed(code - '0', static_cast<std::int64_t>(js_now() - replayWall0_));
      replayPump();
    }
    return true;
  }
  // Before PLAY the keys are the launcher's, as on the desktop.
  if (!playing() || code == 0) return false;
  if (down) {
    if (const auto entry = shortcutOf(code)) {
      input_.deliver({ModelInput::menu(*entry)});
      afterInput();
      return true;
    }
    if (std::find(keysHeld_.begin(), keysHeld_.end(), code) == keysHeld_.end())
      keysHeld_.push_back(code);
  } else {
    keysHeld_.erase(std::remove(keysHeld_.begin(), keysHeld_.end(), code), keysHeld_.end());
  }
  input_.deliver({ModelInput::key(down, code)});
  afterInput();
  return code == VkCtrl || (code >= VkLeft && code <= VkDown) || shortcutOf(code).has_value();
}

void PageApp::releaseKeys() {
  const std::vector<int> held = std::move(keysHeld_);
  keysHeld_.clear();
  if (!playing()) return;
  for (int code : held) input_.deliver({ModelInput::key(false, code)});
  if (control_) {
    control_.reset();
    pads_.holdCaseControl(HandheldInput::None);
  }
}

void PageApp::menu(int entry) {
  if (!playing() || entry < 0 || entry > static_cast<int>(MenuEntry::PM_10Exit)) return;
  input_.deliver({ModelInput::menu(static_cast<MenuEntry>(entry))});
  afterInput();
}

void PageApp::pad(int pad, int kind, int index, double value) {
  if (kind == 0) {
    pads_.standardButton(pad, index, value > 0.5);
  } else if (kind == 1) {
    pads_.standardAxis(pad, index, value);
  } else {
    pads_.removed(pad);
  }
  afterInput();
}

std::string PageApp::saveLastGame(const std::string& name) {
  if (!recorder_.hasGame()) {
    js_message("No game has been played yet.");
    return {};
  }
  InputRecorder::Saved saved;
  clock_.run([&] { saved = recorder_.lastGame(scheduler_.now()); });
  if (saved.check.outcome != RecordingCheck::Outcome::Matches)
    js_message((name + " was saved, but its replay does not end as the game did: " +
                describe(saved.check))
                   .c_str());
  return saved.text;
}

std::string PageApp::session() {
  std::string text;
  clock_.run([&] { text = recorder_.session(scheduler_.now()); });
  return text;
}

void PageApp::replay(const std::string& name, std::string text) {
  if (desktop_.exited()) return;
  if (replayShown_) endReplay();
  js_cancel_timer(ReplayWorkTimer);
  replay_ = std::make_unique<ReplaySession>(std::move(text), sound_, output_);
  replayName_ = name;
  js_timer(ReplayWorkTimer, 0);
}

void PageApp::replayWork() {
  if (!replay_ || replayShown_) return;
  using Phase = ReplaySession::Phase;
  // A few milliseconds at a time, so the page goes on answering.
  const double start = js_now();
  do {
    replay_->work();
    switch (replay_->phase()) {
      case Phase::Checking:
      case Phase::Unseen:
        continue;
      case Phase::Refused:
        js_message(("Cannot replay " + replayName_ + ":\n" + replay_->refusal()).c_str());
        replay_.reset();
        return;
      default:
        showReplay();
        return;
    }
  } while (js_now() - start < 8);
  js_timer(ReplayWorkTimer, 0);
}

void PageApp::showReplay() {
  ReplaySession& s = *replay_;
  replayShown_ = true;
  handheldWasShown_ = handheldShown_;
  clock_.pause();
  releaseKeys();
  // The case stands where the handheld stands, or in the middle of the page
  // while the handheld is not on it.
  const WindowGeometry live = program_.form1.window();
  const ScreenSize screen = view_.placement().screen();
  int left = live.left, bottom = live.top + live.height;
  if (!handheldShown_) {
    left = (screen.width - PagePlacement::kCaseWidth) / 2;
    bottom = std::max(PagePlacement::kCaseHeight, (screen.height + PagePlacement::kCaseHeight) / 2);
  }
  s.windowChanged = [this, left, bottom](const WindowGeometry& g) {
    view_.place({left, bottom - g.height, g.width, g.height}, false);
  };
  s.beep = [] { js_beep(); };
  replayListener_ = std::make_unique<ReplayListener>(*this);
  s.program().form1.surface.setListener(replayListener_.get());
  view_.show(s.program().form1.surface,
             [this] { return replay_->frameTime(static_cast<std::int64_t>(js_now() - replayWall0_)); });
  s.windowChanged(s.program().form1.window());
  js_show_handheld(1);
  afterInput();
  replayWall0_ = js_now();
  s.play(0);
  replayPump();
}

void PageApp::replayPump() {
  if (!replayShown_) return;
  const std::int64_t wait = replay_->pump(static_cast<std::int64_t>(js_now() - replayWall0_));
  const bool ended = replay_->phase() == ReplaySession::Phase::Ended;
  js_title(("Replay of " + replayName_ + " (" +
            (ended ? std::string("ended") : std::to_string(replay_->speed()) + "x") + ") - Esc returns")
               .c_str());
  if (wait < 0) {
    js_cancel_timer(ReplayPumpTimer);
    if (!replay_->broken().empty()) js_message(("The replay stopped at " + replayName_ + ": " + replay_->broken()).c_str());
    return;
  }
  js_timer(ReplayPumpTimer, static_cast<double>(wait));
}

void PageApp::endReplay() {
  js_cancel_timer(ReplayPumpTimer);
  replay_->silence();
  replay_->program().form1.surface.setListener(nullptr);
  replayShown_ = false;
  view_.show(program_.form1.surface, [this] { return clock_.now(); });
  view_.place(program_.form1.window(), false);
  replay_.reset();
  replayListener_.reset();
  clock_.resume();
  js_title(kTitle);
  js_show_handheld(handheldWasShown_ ? 1 : 0);
  afterInput();
}

}  // namespace cantiere
