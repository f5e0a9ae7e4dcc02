// SPDX-License-Identifier: GPL-3.0-or-later
#include "frontend/replay_player.h"

#include <QAction>
#include <QApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>
#include <algorithm>
#include <cmath>
#include <cstdio>

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

// The work done between two looks at the event loop: a few milliseconds,
// in steps of a few hundred lines and some seconds of virtual time.
constexpr int kSliceMs = 8;
constexpr int kLinesPerStep = 256;
constexpr Millis kMsPerStep = 10000;

}  // namespace

struct ReplayPlayer::Session {
  Session(Sound& liveSound, SoundOutput& liveOutput, std::string_view text)
      : output(liveSound, liveOutput),
        program(HandheldServices{scheduler, time, sound, settings, desktop}),
        runner(program, scheduler, time, hooks()),
        lines(text) {
    runner.asRecording = true;
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
    return h;  // dump lines are passed over
  }

  Scheduler scheduler;
  AnchoredTimeOfDay time{scheduler};
  BorrowedOutput output;
  Sound sound{output};
  MemorySettings settings;
  ReplayDesktop desktop;
  Program program;
  ScriptRunner runner;
  TextLines lines;
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
  slice_.setSingleShot(true);
  connect(&slice_, &QTimer::timeout, this, [this] { work(); });
}

ReplayPlayer::~ReplayPlayer() {
  cancel();
  giveBack(false);
}

bool ReplayPlayer::ended() const { return shown_ && session_->ended; }

const Program* ReplayPlayer::replayed() const { return shown_ ? &session_->program : nullptr; }

Millis ReplayPlayer::replayedTime() const { return shown_ ? session_->scheduler.now() : 0; }

void ReplayPlayer::start(const QString& name, std::string text) {
  cancel();
  stop();
  name_ = name;
  text_ = std::move(text);
  checkedLines_ = std::make_unique<TextLines>(text_);
  checker_ = std::make_unique<RecordingChecker>(*checkedLines_);
  slice_.start(0);
}

void ReplayPlayer::startUnchecked(const QString& name, std::string text) {
  cancel();
  stop();
  name_ = name;
  text_ = std::move(text);
  replayFrom_ = 0;
  beginSession();
  slice_.start(0);
}

void ReplayPlayer::cancel() {
  slice_.stop();
  checker_.reset();
  checkedLines_.reset();
  if (shown_) return;
  session_.reset();
  std::string().swap(text_);  // as much as 64 MB
}

void ReplayPlayer::work() {
  QElapsedTimer slice;
  slice.start();
  do {
    if (checker_) {
      if (!checker_->step(kLinesPerStep, kMsPerStep)) continue;
      const RecordingCheck& check = checker_->result();
      if (check.outcome == RecordingCheck::Outcome::Bad) {
        refuse(QString::fromStdString(describe(check)));
        return;
      }
      replayFrom_ = check.header.replayFrom;
      checker_.reset();
      checkedLines_.reset();
      beginSession();
    } else if (!session_) {
      return;
    } else if (runTo(replayFrom_, kLinesPerStep, kMsPerStep)) {
      // Up to where the file says the game begins, the replay ran unseen.
      show();
      announce({});
      return;
    }
  } while (slice.elapsed() < kSliceMs);
  slice_.start(0);
  if (progressed && checkedLines_) {
    const auto permille =
        static_cast<int>(checkedLines_->offset() * 1000 / std::max<std::size_t>(text_.size(), 1));
    progressed(permille);  // last: a progress bar may let other events in
  }
}

void ReplayPlayer::refuse(const QString& why) {
  cancel();
  announce(why);
}

void ReplayPlayer::announce(const QString& refusal) {
  // After the slice: the one told may open a message box.
  const auto tell = [this, refusal] {
    if (checked) checked(refusal);
  };
  QMetaObject::invokeMethod(this, tell, Qt::QueuedConnection);
}

void ReplayPlayer::beginSession() {
  session_ = std::make_unique<Session>(liveSound_, liveOutput_, text_);
}

void ReplayPlayer::show() {
  Session& s = *session_;
  shown_ = true;
  liveClock_.pause();

  // The window: the replay's surface, the case standing where the handheld
  // stands (or in the middle of the screen while it is off screen).
  HandheldWindow& window = *windows_.handheld;
  handheldWasShown_ = window.isVisible();
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
  if (handheldWasShown_) {
    bringToFront(&window);
  } else {
    // Before PLAY the handheld has never been shown: it appears now, placed
    // and shaped already, as PLAY shows it (a new window comes up in front).
    window.show();
    giveKeyboard(&window);
  }

  speed_ = 1;
  virtualBase_ = s.scheduler.now();
  wall_.start();
  realBase_ = 0;
  pump();
}

Millis ReplayPlayer::target() const {
  return virtualBase_ + (wall_.elapsed() - realBase_) * speed_;
}

void ReplayPlayer::setSpeed(int factor) {
  if (!shown_ || factor == speed_) return;
  virtualBase_ = std::max(target(), session_->scheduler.now());
  realBase_ = wall_.elapsed();
  speed_ = factor;
  showTitle();
  pump();
}

bool ReplayPlayer::runTo(Millis until, int lines, Millis ms) {
  Session& s = *session_;
  std::string line, error;
  while (!s.ended) {
    if (s.pendingWait > 0) {
      if (until <= s.scheduler.now()) return true;
      if (ms <= 0) return false;
      const Millis step = std::min({s.pendingWait, until - s.scheduler.now(), ms});
      s.scheduler.advance(step);
      s.pendingWait -= step;
      ms -= step;
      continue;
    }
    if (s.desktop.exited) {
      finish();
      break;
    }
    if (lines-- <= 0) return false;
    if (!s.lines.next(line)) {
      finish();
      break;
    }
    if (!s.runner.feed(line, error)) {
      // The check ran the same lines, so this is not expected; should it
      // happen, the replay holds its picture there and says so once.
      const QString problem = QStringLiteral("%1: line %2: %3")
                                  .arg(name_)
                                  .arg(s.runner.lineNumber())
                                  .arg(QString::fromStdString(printable(error, 200)));
      finish();
      const auto tell = [this, problem] {
        if (broke) {
          broke(problem);
        } else {
          std::fprintf(stderr, "cantiere: the replay stopped at %s\n",
                       problem.toLocal8Bit().constData());
        }
      };
      QMetaObject::invokeMethod(this, tell, Qt::QueuedConnection);
      break;
    }
    s.pendingWait = s.runner.deferredWait;
    s.runner.deferredWait = 0;
  }
  return true;
}

void ReplayPlayer::pump() {
  if (!shown_) return;
  Session& s = *session_;
  const bool caughtUp = runTo(std::max(target(), s.scheduler.now()), kLinesPerStep, kMsPerStep);
  showTitle();
  if (s.ended) {
    wake_.stop();
    return;
  }
  if (!caughtUp) {
    wake_.start(0);  // more lines at this instant: after the window's events
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
  if (!shown_ || !windows_.handheld) return;
  const QString state = session_->ended ? QStringLiteral("ended")
                                        : QStringLiteral("%1x").arg(speed_);
  windows_.handheld->setWindowTitle(
      QStringLiteral("Replay of %1 (%2) - Esc returns").arg(name_, state));
}

void ReplayPlayer::stop() { giveBack(true); }

void ReplayPlayer::giveBack(bool showLauncher) {
  if (!shown_) return;
  wake_.stop();
  HandheldWindow& window = *windows_.handheld;
  window.removeEventFilter(this);
  for (auto [action, enabled] : disabledActions_) action->setEnabled(enabled);
  disabledActions_.clear();
  session_->output.stopAll();
  window.showSurface(live_.form1.surface);
  // A handheld not shown before the replay goes back out of sight, for PLAY
  // to show it where it belongs.
  if (!handheldWasShown_) window.hide();
  window.place(live_.form1.window());
  window.setWindowTitle(QString::fromUtf8(kApplicationTitle));
  session_.reset();
  shown_ = false;
  std::string().swap(text_);
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
      if (key->key() == Qt::Key_Escape && !key->isAutoRepeat()) {
        // Later: the filter goes while this very event is delivered.
        QMetaObject::invokeMethod(this, [this] { stop(); }, Qt::QueuedConnection);
      } else if (key->key() == Qt::Key_1) {
        setSpeed(1);
      } else if (key->key() == Qt::Key_2) {
        setSpeed(2);
      } else if (key->key() == Qt::Key_4) {
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
