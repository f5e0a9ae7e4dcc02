// SPDX-License-Identifier: GPL-3.0-or-later
#include "frontend/replay/replay_player.h"

#include <QAction>
#include <QApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "frontend/input/qt_keys.h"
#include "frontend/windows/handheld_window.h"
#include "core/script/script_runner.h"
#include "core/settings/memory_settings.h"
#include "frontend/input/qt_keys.h"
#include "frontend/windows/handheld_window.h"
#include "frontend/windows/window_system.h"

namespace cantiere {
namespace {

// The work done between two looks at the event loop.
constexpr int kSliceMs = 8;

}  // namespace

ReplayPlayer::ReplayPlayer(const ReplayStage& stage, EventClock& liveClock, Program& live,
                           Sound& liveSound, SoundOutput& liveOutput)
    : stage_(stage),
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

bool ReplayPlayer::ended() const {
  return shown_ && session_->phase() == ReplaySession::Phase::Ended;
}

const Program* ReplayPlayer::replayed() const { return shown_ ? &session_->program() : nullptr; }

Millis ReplayPlayer::replayedTime() const { return shown_ ? session_->now() : 0; }

void ReplayPlayer::start(const QString& name, std::string text) {
  begin(name, std::move(text), true);
}

void ReplayPlayer::startUnchecked(const QString& name, std::string text) {
  begin(name, std::move(text), false);
}

void ReplayPlayer::begin(const QString& name, std::string text, bool check) {
  cancel();
  stop();
  name_ = name;
  session_ = std::make_unique<ReplaySession>(std::move(text), liveSound_, liveOutput_);
  brokenTold_ = false;
  if (!check) session_->skipCheck();
  slice_.start(0);
}

void ReplayPlayer::cancel() {
  slice_.stop();
  if (!shown_) session_.reset();
}

void ReplayPlayer::work() {
  using Phase = ReplaySession::Phase;
  QElapsedTimer slice;
  slice.start();
  do {
    if (!session_) return;
    session_->work();
    switch (session_->phase()) {
      case Phase::Checking:
      case Phase::Unseen:
        continue;
      case Phase::Refused: {
        const QString why = QString::fromStdString(session_->refusal());
        cancel();
        announce(why);
        return;
      }
      default:
        show();
        announce({});
        return;
    }
  } while (slice.elapsed() < kSliceMs);
  slice_.start(0);
  // Last: a progress bar may let other events in.
  if (progressed && session_->phase() == Phase::Checking) progressed(session_->checkedPermille());
}

void ReplayPlayer::announce(const QString& refusal) {
  // After the slice: the one told may open a message box.
  const auto tell = [this, refusal] {
    if (checked) checked(refusal);
  };
  QMetaObject::invokeMethod(this, tell, Qt::QueuedConnection);
}

void ReplayPlayer::show() {
  ReplaySession& s = *session_;
  shown_ = true;
  liveClock_.pause();

  // The window: the replay's surface, the case standing where the handheld
  // stands (or in the middle of the screen while it is off screen).
  HandheldWindow& window = *stage_.handheld;
  handheldWasShown_ = window.isVisible();
  const Monitors monitors = qtMonitors();
  const CaseSpot spot = replaySpot(live_.form1.window(), monitors.empty() ? Rect{0, 0, 1024, 768}
                                                                         : monitors.front().usable);
  // Its LCD segments move on its own virtual time, standing still at its end.
  window.showSurface(
      s.program().form1.surface, [this] { return session_->now(); },
      [this] { return session_->frameTime(wall_.elapsed()); });
  // Placed once it shows: the handheld's own placement waits meanwhile.
  s.windowChanged = [&window, spot](const WindowGeometry& g) {
    window.place({spot.left, spot.bottom - g.height, g.width, g.height});
  };
  s.windowChanged(s.program().form1.window());
  s.beep = [] { QApplication::beep(); };

  // Only Esc and the speed keys reach the replay; the handheld takes nothing.
  for (QAction* action : window.actions()) {
    disabledActions_.push_back({action, action->isEnabled()});
    action->setEnabled(false);
  }
  window.menu().close();
  window.installEventFilter(this);
  if (stage_.launcher) stage_.launcher->hide();
  if (handheldWasShown_) {
    bringToFront(&window);
  } else {
    // Before PLAY the handheld has never been shown: it appears now, placed
    // and shaped already, as PLAY shows it (a new window comes up in front).
    window.show();
    giveKeyboard(&window);
  }

  wall_.start();
  s.play(0);
  pump();
}

void ReplayPlayer::setSpeed(int factor) {
  if (!shown_ || factor == session_->speed()) return;
  session_->setSpeed(factor, wall_.elapsed());
  showTitle();
  pump();
}

void ReplayPlayer::pump() {
  if (!shown_) return;
  const std::int64_t wait = session_->pump(wall_.elapsed());
  showTitle();
  if (wait < 0) {
    wake_.stop();
    if (!session_->broken().empty() && !brokenTold_) tellBroken();
    return;
  }
  wake_.start(static_cast<int>(wait));
}

void ReplayPlayer::tellBroken() {
  brokenTold_ = true;
  // The check ran the same lines, so this is not expected; should it
  // happen, the replay holds its picture there and says so once.
  const QString problem =
      QStringLiteral("%1: %2").arg(name_, QString::fromStdString(session_->broken()));
  const auto tell = [this, problem] {
    if (broke) {
      broke(problem);
    } else {
      std::fprintf(stderr, "cantiere: the replay stopped at %s\n", problem.toLocal8Bit().constData());
    }
  };
  QMetaObject::invokeMethod(this, tell, Qt::QueuedConnection);
}

void ReplayPlayer::showTitle() {
  if (!shown_ || !stage_.handheld) return;
  const QString state = session_->phase() == ReplaySession::Phase::Ended
                            ? QStringLiteral("ended")
                            : QStringLiteral("%1x").arg(session_->speed());
  stage_.handheld->setWindowTitle(
      QStringLiteral("Replay of %1 (%2) - Esc returns").arg(name_, state));
}

void ReplayPlayer::stop() { giveBack(true); }

void ReplayPlayer::giveBack(bool showLauncher) {
  if (!shown_) return;
  wake_.stop();
  HandheldWindow& window = *stage_.handheld;
  window.removeEventFilter(this);
  for (auto [action, enabled] : disabledActions_) action->setEnabled(enabled);
  disabledActions_.clear();
  session_->silence();
  window.showSurface(live_.form1.surface);
  // A handheld not shown before the replay goes back out of sight, for PLAY
  // to show it where it belongs.
  if (!handheldWasShown_) window.hide();
  window.place(live_.form1.window());
  window.setWindowTitle(QString::fromUtf8(kApplicationTitle));
  session_.reset();
  shown_ = false;
  liveClock_.resume();
  if (!showLauncher) return;
  if (live_.splash.visible && stage_.launcher) {
    stage_.showLauncher();
    bringToFront(stage_.launcher);
  } else {
    bringToFront(&window);
  }
}

bool ReplayPlayer::eventFilter(QObject* watched, QEvent* e) {
  switch (e->type()) {
    case QEvent::KeyPress: {
      const auto* key = static_cast<QKeyEvent*>(e);
      // The speed keys from the row of digits on any layout, or the keypad.
      const int k = layoutFreeKey(*key);
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
