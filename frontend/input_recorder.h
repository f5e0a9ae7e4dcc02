// SPDX-License-Identifier: GPL-3.0-or-later
// Keeps, in memory, every input the model received with its virtual time,
// and every anchor of the time of day, from start-up on: the run as a
// cantiere-sim script. From it a game is saved (its inputs from the press
// of the button that started it, after a prelude that sets up what the
// game found: the time of day, the high scores, the open case where it
// stood) or the whole session. A saved file ends with the final dump and is
// replayed without a window before it is offered: when the short form does
// not end as the game did (a game inherits a few counters from the game
// before), the file starts further back and says where the replay is to
// begin showing.
//
// Memory is bounded: beyond the cap the oldest whole games are dropped, and
// so are games older than a recording may be long.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "core/script/recording_check.h"
#include "core/script/script_command.h"
#include "frontend/time_anchor.h"

namespace cantiere {

class InputRecorder {
 public:
  // Inputs kept at most (some 40 bytes each, 4 MB): days of play.
  static constexpr std::size_t kDefaultCap = 100000;

  InputRecorder(const Program& program, const AnchoredTimeOfDay& time, const Desktop& desktop,
                std::size_t cap = kDefaultCap);

  // The program has started: the high scores it read belong to the session.
  void started();
  // An anchor of the time of day taken at `at` (start-up and re-anchors).
  void anchored(Millis at, const WallTime& wall);
  // An input about to be applied, and the moment after it was.
  void input(Millis at, const ScriptCommand& command);
  void afterInput(Millis at) { watchGame(at); }
  // The ticks due at `at` have been delivered.
  void afterTicks(Millis at) { watchGame(at); }

  bool hasGame() const { return !games_.empty(); }
  bool gameRunning() const { return !games_.empty() && !games_.back().ended; }
  std::size_t size() const { return entries_.size(); }

  struct Saved {
    std::string text;
    RecordingCheck check;  // how its replay without a window ended
  };
  // The most recent game, up to its end or, if it runs, up to `now`.
  Saved lastGame(Millis now) const;
  // Everything kept, up to `now`.
  std::string session(Millis now) const;

 private:
  struct Entry {
    Millis at;
    ScriptCommand command;
  };
  // What a file that starts at an entry must set up first.
  struct Prelude {
    std::uint64_t index = 0;  // of that entry, counted from start-up
    Millis at = 0;
    bool startUp = true;  // the program's own start: nothing to set up
    std::int64_t universalMs = 0;
    std::int32_t offsetMinutes = 0;
    std::int32_t hiscoreA = 0, hiscoreB = 0;
    ScreenSize screen{0, 0};
    WindowGeometry window{};
    int soundIndex = 2;
  };
  struct Game {
    Prelude start;
    bool ended = false;
    std::uint64_t endIndex = 0;
    Millis endAt = 0;
    std::string finalLines;  // the dump after its time line
  };

  Prelude preludeAt(Millis at) const;
  void watchGame(Millis at);
  void keepWithinCap(Millis now);
  void dropBefore(std::uint64_t index);
  std::string stateLines() const;
  std::string build(const Prelude& from, std::uint64_t to, Millis toAt,
                    const std::string& finalLines, Millis replayFrom) const;
  void writePrelude(std::string& out, const Prelude& from) const;

  const Program& program_;
  const AnchoredTimeOfDay& time_;
  const Desktop& desktop_;
  std::size_t cap_;
  std::deque<Entry> entries_;
  std::uint64_t dropped_ = 0;  // entries dropped from the front
  Prelude base_;               // what the kept entries start from
  bool baseLost_ = false;      // a single game outgrew the cap: nothing to start from
  std::vector<Game> games_;
  Prelude pendingStart_;       // at the last press that took the pointer
  bool running_ = false;
};

}  // namespace cantiere
