// SPDX-License-Identifier: GPL-3.0-or-later
// Plays a recording in the handheld window at the pace of the wall clock,
// 1x, 2x or 4x (keys 1, 2 and 4), on a program of its own. Meanwhile the
// handheld's own program stands still and takes no input; Esc ends the
// replay (also once it has reached its end and holds its last picture) and
// gives the window back to the handheld as it was. A replay never writes
// the high scores: its settings live in memory. Its sounds go through the
// handheld's own output, when the handheld's sound is on.
//
// The replay itself (the check, the unseen run up to where the game
// begins, the pace) is common/replay's ReplaySession; this is its window:
// slices of work between the window's events, so a file of millions of
// lines keeps the program answering and can be given up, and the wake-up
// at the pace of the wall clock.
#pragma once

#include <QAction>
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>

#include "common/replay/replay_session.h"
#include "core/launcher/program.h"

#include "frontend/replay/replay_stage.h"

namespace cantiere {

class EventClock;

class ReplayPlayer : public QObject {
 public:
  ReplayPlayer(const ReplayStage& stage, EventClock& liveClock, Program& live, Sound& liveSound,
               SoundOutput& liveOutput);
  ~ReplayPlayer() override;

  // Checks `text`, read from the file `name`, and then replays it; a replay
  // already showing ends first. The handheld goes on as before until the
  // replay shows, and for good when the file is refused; `checked` tells
  // which.
  void start(const QString& name, std::string text);
  // Replays `text` with no check first: for a text checked already (tests
  // give one that cannot be run to its end).
  void startUnchecked(const QString& name, std::string text);
  // Gives up a check under way; the handheld was never touched.
  void cancel();
  // Ends the replay and gives the window back.
  void stop();

  // Told once the check is over: "" when the replay shows, else the line
  // and why the file cannot be replayed.
  std::function<void(const QString& refusal)> checked;
  // Told as the check goes on: how far, in thousandths of the file.
  std::function<void(int permille)> progressed;
  // Told once when a line cannot be run after all (the replay ends there):
  // the line and why. Without it, said on the error output.
  std::function<void(const QString& problem)> broke;

  bool checking() const { return session_ && !shown_; }
  bool active() const { return shown_; }
  // The recording has run to its end; its last picture stays until Esc.
  bool ended() const;
  int speed() const { return session_ ? session_->speed() : 1; }
  void setSpeed(int factor);

  // The replay's own program and its virtual time (while active), for tests.
  const Program* replayed() const;
  Millis replayedTime() const;

 protected:
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  void begin(const QString& name, std::string text, bool check);
  void work();
  void announce(const QString& refusal);
  void show();
  void giveBack(bool showLauncher);
  void pump();
  void tellBroken();
  void showTitle();

  ReplayStage stage_;
  EventClock& liveClock_;
  Program& live_;
  Sound& liveSound_;
  SoundOutput& liveOutput_;
  std::unique_ptr<ReplaySession> session_;
  bool shown_ = false;
  bool brokenTold_ = false;
  bool handheldWasShown_ = false;
  QTimer slice_;  // the next slice of a check or of the unseen run
  QTimer wake_;   // the replay's next tick or input
  QElapsedTimer wall_;
  QString name_;
  std::vector<std::pair<QAction*, bool>> disabledActions_;
};

}  // namespace cantiere
