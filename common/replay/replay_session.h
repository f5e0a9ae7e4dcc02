// SPDX-License-Identifier: GPL-3.0-or-later
// A recording played back on a program of its own, paced by a wall clock at
// 1x, 2x or 4x: what every front end's replay shares. No toolkit, no timer
// of its own: the front end calls `work` and `pump` when it may, and is told
// how long it may wait before the next call.
//
// The file is checked in full first (as a recording, whatever its first
// line says), then run unseen up to where it says its game begins; both
// take as long as the file is long, so both go in budgeted steps between a
// front end's events. Then it plays: virtual time follows the wall clock
// times the speed from where it stood when it began or the speed changed,
// and never runs ahead of the recording's own instants. A replay never
// writes the high scores: its settings live in memory. The text is held
// once, as it was read.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "core/launcher/program.h"
#include "core/script/recording_check.h"

namespace cantiere {

class ReplaySession {
 public:
  enum class Phase {
    Checking,  // the file is being checked
    Unseen,    // run up to where the game begins
    Refused,   // the file cannot be replayed: `refusal` says why
    Ready,     // reached where it is to be shown: call `play`
    Playing,
    Ended,     // the recording has run to its end (or broke: `broken`)
  };

  // The replay's program plays its sounds through the handheld's own.
  ReplaySession(std::string text, Sound& liveSound, SoundOutput& liveOutput);
  ~ReplaySession();
  // Skips the check: for a text known to be checked already.
  void skipCheck();

  Phase phase() const { return phase_; }
  // One step of the check or of the unseen run, within its budget of lines
  // and virtual time; the phase says what came of it.
  void work();
  // How far the check is, in thousandths of the file.
  int checkedPermille() const;
  const std::string& refusal() const { return refusal_; }
  // A line that could not be run after all (the replay ended there): its
  // number and why. Not expected: the check ran the same lines.
  const std::string& broken() const { return broken_; }

  // Starts playing at the wall clock's `wallMs`, at 1x.
  void play(std::int64_t wallMs);
  int speed() const { return speed_; }
  void setSpeed(int factor, std::int64_t wallMs);
  // Runs the recording up to the wall clock's `wallMs`, in budgeted steps:
  // the ms to wait before the next call (0: more to do at once), or -1 once
  // it has ended.
  std::int64_t pump(std::int64_t wallMs);
  // The virtual instant a frame at `wallMs` shows: standing still once the
  // recording has ended.
  Millis frameTime(std::int64_t wallMs) const;

  // The replay's program and virtual time, once the check is over.
  Program& program();
  const Program& program() const;
  Millis now() const;
  // The instant of the replay's next tick (Scheduler::kNever: none).
  Millis nextTick() const;
  // The recording's screen, the window changes of its program, its beep.
  ScreenSize screen() const;
  std::function<void(const WindowGeometry&)> windowChanged;
  std::function<void()> beep;
  // Silences whatever the replay still plays.
  void silence();

  // Steps of work between two looks at the event loop.
  static constexpr int kLinesPerStep = 256;
  static constexpr Millis kMsPerStep = 10000;

 private:
  struct Run;
  void begin();
  // Up to `until`, within the budgets; false when a budget ran out first.
  bool runTo(Millis until, int lines, Millis ms);
  void finish();
  Millis target(std::int64_t wallMs) const;

  std::string text_;
  std::unique_ptr<TextLines> checkedLines_;
  std::unique_ptr<RecordingChecker> checker_;
  Sound& liveSound_;
  SoundOutput& liveOutput_;
  std::unique_ptr<Run> run_;
  Phase phase_ = Phase::Checking;
  std::int64_t replayFrom_ = 0;
  std::string refusal_, broken_;
  int speed_ = 1;
  std::int64_t wallBase_ = 0;
  Millis virtualBase_ = 0;
};

}  // namespace cantiere
