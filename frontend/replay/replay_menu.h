// SPDX-License-Identifier: GPL-3.0-or-later
// "Save last game..." and "Replay a game...", after the handheld's own
// entries of its context menu, and the command line's --replay and
// --record: the files, their dialogs and their messages.
#pragma once

#include <QObject>
#include <QProgressDialog>
#include <QString>
#include <memory>
#include <string>

#include "frontend/replay/replay_stage.h"

namespace cantiere {

class EventClock;
class InputRecorder;
class ReplayPlayer;

class ReplayMenu : public QObject {
 public:
  ReplayMenu(const ReplayStage& stage, EventClock& clock, InputRecorder& recorder,
             ReplayPlayer& player);
  ~ReplayMenu() override;

  // Saves the last game to `path`; an empty string when it went well, else
  // what went wrong. A game whose replay would not end as it did is saved
  // all the same (it shows what went wrong) and said so.
  QString saveLastGame(const QString& path);
  // Replays a file in the window once it is checked. False, after a
  // message box, for a file that cannot be read (only regular files are);
  // a file the check refuses gets a message box that names the file and
  // the line. Either way the handheld goes on as before.
  bool replay(const QString& path);
  // Once the handheld's first activation is over (the launcher shown),
  // replays the file: the command line's --replay.
  void replayAtStart(const QString& path);
  // The whole session, at exit: the command line's --record, a path of
  // bytes as given, which need not be UTF-8. False when the file cannot be
  // written (said on standard error); an earlier file of that name is then
  // left as it was.
  bool writeSession(const std::string& path);

  // The largest file a replay reads: far beyond any real recording.
  static constexpr qint64 kLargestFile = 64LL << 20;

 private:
  void chooseAndSave();
  void chooseAndReplay();
  void tell(const QString& text, bool problem);
  QWidget* owner() const;
  void endProgress();

  ReplayStage stage_;
  EventClock& clock_;
  InputRecorder& recorder_;
  ReplayPlayer& player_;
  QString folder_;  // where the last file was saved or read
  QString replaying_;  // the file being checked for a replay
  std::unique_ptr<QProgressDialog> progress_;
  bool showingProgress_ = false;
};

}  // namespace cantiere
