// SPDX-License-Identifier: GPL-3.0-or-later
#include "frontend/replay_player.h"

#include <QAction>
#include <QApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>
#include <algorithm>
#include <cmath>
#include <sstream>

#include "core/script/recording_check.h"
#include "frontend/handheld_window.h"
#include "core/script/script_runner.h"
#include "core/settings/memory_settings.h"
#include "frontend/desktop_windows.h"
#include "frontend/qt_desktop.h"

namespace cantiere {
namespace {

// A handle the replay's model holds while the handheld's sound is off.
constexpr SampleHandle kSilent = 1;

// The replay's samples, loaded through the handheld's own mixer when that
// is playing; the mixer itself stays the handheld's.
class BorrowedOutput : public SoundOutput {
 public:
  BorrowedOutput(Sound& liveSound, SoundOutput& live) : liveSound_(liveSound), live_(live) {}
  ~BorrowedOutput() override {
    for (SampleHandle h : loaded_) live_.free(h);
  }
  void selectOutput(int) override {}
  void init(int, int) override {}
  SampleHandle load(const char* path) override {
    if (!liveSound_.SoundOn) return kSilent;
    const SampleHandle h = live_.load(path);
    if (h == 0) return kSilent;  // the replay goes on, without that sound
    loaded_.push_back(h);
    return h;
  }
  void play(SampleHandle h) override {
    if (h != kSilent && liveSound_.SoundOn) live_.play(h);
  }
  void stopAll() override {
    if (liveSound_.SoundOn) live_.stopAll();
  }
  void free(SampleHandle h) override {
    const auto it = std::find(loaded_.begin(), loaded_.end(), h);
    if (it == loaded_.end()) return;
    live_.free(h);
    loaded_.erase(it);
  }
  void close() override {}

 private:
  Sound& liveSound_;
  SoundOutput& live_;
  std::vector<SampleHandle> loaded_;
};

// The replay's desktop: the screen the recording was made on, the window's
// size (it stays where it is on this screen), and the end of the program.
class ReplayDesktop : public Desktop {
 public:
  ScreenSize size{1024, 768};
  std::function<void(const WindowGeometry&)> resized;
  bool exited = false;
  ScreenSize screen() const override { return size; }
  void windowChanged(const WindowGeometry& g) override {
    if (resized) resized(g);
  }
  void showLauncher() override {}
  void hideLauncher() override {}
  void showAbout() override {}
  void open(const char*) override {}  // a replay opens no document
  void beep() override { QApplication::beep(); }
  void message(const char*) override {}
  void exit() override { exited = true; }
};

std::vector<std::string> splitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string l; std::getline(in, l);) lines.push_back(std::move(l));
  return lines;
}

}  // namespace

struct ReplayPlayer::Session {
  Session(Sound& liveSound, SoundOutput& liveOutput)
      : output(liveSound, liveOutput),
        program(HandheldServices{scheduler, time, sound, settings, desktop}),
        runner(program, scheduler, time, hooks()) {
    runner.deferWaits = true;
  }
  ScriptRunner::Hooks hooks() {
    ScriptRunner::Hooks h;
    h.header = [this](const RecordingHeader& header) {
      desktop.size = header.screen;
      if (header.hiscoresGiven) {
        settings.values["hiscorea"] = header.hiscoreA;
        settings.values["hiscoreb"] = header.hiscoreB;
      }
    };
    return h;  // dump and snapshot lines are passed over
  }

  Scheduler scheduler;
  AnchoredTimeOfDay time{scheduler};
  BorrowedOutput output;
  Sound sound{output};
  MemorySettings settings;
  ReplayDesktop desktop;
  Program program;
  ScriptRunner runner;
  std::vector<std::string> lines;
  std::size_t next = 0;
  Millis pendingWait = 0;
  bool ended = false;
};

ReplayPlayer::ReplayPlayer(DesktopWindows& windows, EventClock& liveClock, Program& live,
                           Sound& liveSound, SoundOutput& liveOutput)
    : windows_(windows),
      liveClock_(liveClock),
      live_(live),
      liveSound_(liveSound),
      liveOutput_(liveOutput) {
  wake_.setSingleShot(true);
  wake_.setTimerType(Qt::PreciseTimer);
  connect(&wake_, &QTimer::timeout, this, [this] { pump(); });
}

ReplayPlayer::~ReplayPlayer() { giveBack(false); }

bool ReplayPlayer::ended() const { return session_ && session_->ended; }

const Program* ReplayPlayer::replayed() const { return session_ ? &session_->program : nullptr; }

bool ReplayPlayer::start(const QString& name, const std::string& text, QString& error) {
  if (active()) stop();
  // The whole file is run once without a window first: a file that cannot
  // be replayed is refused before the handheld is touched.
  const RecordingCheck check = checkRecording(text);
  if (check.outcome == RecordingCheck::Outcome::Bad) {
    error = QStringLiteral("line %1: %2")
                .arg(check.line)
                .arg(QString::fromUtf8(check.error.c_str()).left(200));
    return false;
  }

  name_ = name;
  liveClock_.pause();
  session_ = std::make_unique<Session>(liveSound_, liveOutput_);
  Session& s = *session_;
  s.lines = splitLines(text);

  // Up to where the file says the game begins, the replay runs unseen.
  runTo(check.header.replayFrom);

  // The window: the replay's surface, the case standing where the handheld
  // stands (or in the middle of the screen while it is off screen).
  HandheldWindow& window = *windows_.handheld;
  const WindowGeometry liveGeometry = live_.form1.window();
  int left = liveGeometry.left, bottom = liveGeometry.top + liveGeometry.height;
  const QScreen* screen = QGuiApplication::primaryScreen();
  const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
  if (!area.intersects(QRect(liveGeometry.left, liveGeometry.top, liveGeometry.width,
                             liveGeometry.height))) {
    left = area.x() + (area.width() - 464) / 2;
    bottom = area.y() + std::max(571, (area.height() + 571) / 2);
  }
  s.desktop.resized = [&window, left, bottom](const WindowGeometry& g) {
    window.place({left, bottom - g.height, g.width, g.height});
  };
  s.desktop.resized(s.program.form1.window());
  // Its LCD segments move on its own virtual time, standing still at its end.
  window.showSurface(
      s.program.form1.surface, [this] { return session_->scheduler.now(); },
      [this] {
        const Millis at = session_->scheduler.now();
        return session_->ended ? at : std::max(target(), at);
      });

  // Only Esc and the speed keys reach the replay; the handheld takes nothing.
  for (QAction* action : window.actions()) {
    disabledActions_.push_back({action, action->isEnabled()});
    action->setEnabled(false);
  }
  window.menu().close();
  window.installEventFilter(this);
  if (windows_.launcher) windows_.launcher->hide();
  bringToFront(&window);

  speed_ = 1;
  virtualBase_ = s.scheduler.now();
  wall_.start();
  realBase_ = 0;
  pump();
  return true;
}

Millis ReplayPlayer::target() const {
  return virtualBase_ + (wall_.elapsed() - realBase_) * speed_;
}

void ReplayPlayer::setSpeed(int factor) {
  if (!session_ || factor == speed_) return;
  virtualBase_ = std::max(target(), session_->scheduler.now());
  realBase_ = wall_.elapsed();
  speed_ = factor;
  showTitle();
  pump();
}

void ReplayPlayer::runTo(Millis until) {
  Session& s = *session_;
  while (!s.ended) {
    if (s.pendingWait > 0) {
      const Millis step = std::min(s.pendingWait, until - s.scheduler.now());
      if (step <= 0) break;
      s.scheduler.advance(step);
      s.pendingWait -= step;
      continue;
    }
    if (s.next >= s.lines.size() || s.desktop.exited) {
      finish();
      break;
    }
    std::string error;
    if (!s.runner.feed(s.lines[s.next++], error)) {
      finish();  // the check ran the same lines: this does not happen
      break;
    }
    s.pendingWait = s.runner.deferredWait;
    s.runner.deferredWait = 0;
  }
}

void ReplayPlayer::pump() {
  if (!session_) return;
  Session& s = *session_;
  runTo(std::max(target(), s.scheduler.now()));
  showTitle();
  if (s.ended) {
    wake_.stop();
    return;
  }
  // Wake at the next tick or the end of the wait, whichever comes first.
  const Millis next = std::min(s.scheduler.nextDue(), s.scheduler.now() + s.pendingWait);
  const Millis realWait = (next - target() + speed_ - 1) / speed_;
  wake_.start(static_cast<int>(std::clamp<Millis>(realWait, 0, 1 << 30)));
}

void ReplayPlayer::finish() {
  Session& s = *session_;
  s.runner.finish();
  s.ended = true;
  showTitle();
}

void ReplayPlayer::showTitle() {
  if (!session_ || !windows_.handheld) return;
  const QString state = session_->ended ? QStringLiteral("ended")
                                        : QStringLiteral("%1x").arg(speed_);
  windows_.handheld->setWindowTitle(
      QStringLiteral("Replay of %1 (%2) - Esc returns").arg(name_, state));
}

void ReplayPlayer::stop() { giveBack(true); }

void ReplayPlayer::giveBack(bool showLauncher) {
  if (!session_) return;
  wake_.stop();
  HandheldWindow& window = *windows_.handheld;
  window.removeEventFilter(this);
  for (auto [action, enabled] : disabledActions_) action->setEnabled(enabled);
  disabledActions_.clear();
  session_->output.stopAll();
  window.showSurface(live_.form1.surface);
  window.place(live_.form1.window());
  window.setWindowTitle(QString::fromUtf8(kApplicationTitle));
  session_.reset();
  liveClock_.resume();
  if (!showLauncher) return;
  if (live_.splash.visible && windows_.launcher) {
    windows_.showLauncher();
    bringToFront(windows_.launcher.get());
  } else {
    bringToFront(&window);
  }
}

bool ReplayPlayer::eventFilter(QObject* watched, QEvent* e) {
  switch (e->type()) {
    case QEvent::KeyPress: {
      const auto* key = static_cast<QKeyEvent*>(e);
      // The speed keys from the row of digits on any layout, or the keypad.
      const int k = HandheldWindow::layoutFreeKey(*key);
      if (key->key() == Qt::Key_Escape && !key->isAutoRepeat()) {
        // Later: the filter goes while this very event is delivered.
        QMetaObject::invokeMethod(this, [this] { stop(); }, Qt::QueuedConnection);
      } else if (k == Qt::Key_1) {
        setSpeed(1);
      } else if (k == Qt::Key_2) {
        setSpeed(2);
      } else if (k == Qt::Key_4) {
        setSpeed(4);
      }
      return true;
    }
    case QEvent::ShortcutOverride:
      e->accept();  // taken as a plain key, so no shortcut acts
      return true;
    case QEvent::KeyRelease:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::WindowActivate:  // the handheld's own activation waits
      return true;
    default:
      return QObject::eventFilter(watched, e);
  }
}

}  // namespace cantiere
