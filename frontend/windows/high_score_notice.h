// SPDX-License-Identifier: GPL-3.0-or-later
// A new high score that could not be stored (a full disk, a read-only or
// missing settings folder) is told to the person in a message box as well
// as on standard error, where few would look. The store finds out at game
// over, inside the model's handler; the box comes once that handler is
// done and no game runs, without taking the keyboard and without a loop of
// its own, so nothing in the program waits for it and a new game started
// meanwhile plays on.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include "common/files/ini_settings.h"

class QWidget;

namespace cantiere {

class EventClock;
struct GameState;

class HighScoreNotice : public QObject {
 public:
  HighScoreNotice(IniSettings& settings, EventClock& clock, const GameState& state, QWidget* owner);
  ~HighScoreNotice() override;

  // The text of the box for what could not be stored.
  static QString textFor(const IniSettings::Unstored& unstored, const QString& path);
  // The box on screen, if one is (tests).
  QWidget* box() const { return box_; }

 private:
  void showWhenNoGameRuns();

  IniSettings& settings_;
  const GameState& state_;
  QWidget* owner_;
  QString text_;  // waiting for its moment
  bool queued_ = false;
  QPointer<QWidget> box_;
};

}  // namespace cantiere
