// SPDX-License-Identifier: GPL-3.0-or-later
// Plays a recording in the handheld window at the pace of the wall clock,
// 1x, 2x or 4x (keys 1, 2 and 4), on a program of its own. Meanwhile the
// handheld's own program stands still and takes no input; Esc ends the
// replay (also once it has reached its end and holds its last picture) and
// gives the window back to the handheld as it was. A replay never writes
// the high scores: its settings live in memory. Its sounds go through the
// handheld's own output, when the handheld's sound is on.
#pragma once

#include <QAction>
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>

#include "core/launcher/program.h"

namespace cantiere {

class DesktopWindows;
class EventClock;

class ReplayPlayer : public QObject {
 public:
  ReplayPlayer(DesktopWindows& windows, EventClock& liveClock, Program& live, Sound& liveSound,
               SoundOutput& liveOutput);
  ~ReplayPlayer() override;

  // Starts replaying `text`, read from the file `name`. False, with `error`
  // naming the line, when the file cannot be replayed; the handheld then
  // goes on as before.
  bool start(const QString& name, const std::string& text, QString& error);
  // Ends the replay and gives the window back.
  void stop();

  bool active() const { return session_ != nullptr; }
  // The recording has run to its end; its last picture stays until Esc.
  bool ended() const;
  int speed() const { return speed_; }
  void setSpeed(int factor);

  // The replay's own program (while active), for tests.
  const Program* replayed() const;

 protected:
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  struct Session;
  void runTo(Millis until);
  void giveBack(bool showLauncher);
  void pump();
  void finish();
  void showTitle();
  Millis target() const;

  DesktopWindows& windows_;
  EventClock& liveClock_;
  Program& live_;
  Sound& liveSound_;
  SoundOutput& liveOutput_;
  std::unique_ptr<Session> session_;
  QTimer wake_;
  QElapsedTimer wall_;
  Millis realBase_ = 0, virtualBase_ = 0;
  int speed_ = 1;
  QString name_;
  std::vector<std::pair<QAction*, bool>> disabledActions_;
};

}  // namespace cantiere
