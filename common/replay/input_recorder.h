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
// so are games older than a recording may be long. The session a file
// holds begins where its replay is known to hold: at start-up, or at a
// game whose own file, replayed, ended as the game did (a game can inherit
// what a prelude cannot set up: counters, a barrel left lit). When no such
// game is there to drop to, keeping stops instead (the cut): the state at
// that moment ends the session, and the game that ran then, and both files
// say they were cut. Keeping begins again with the next game; the session
// as cut stays the one written until a game since replays alone.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "core/script/recording_check.h"
#include "core/script/script_command.h"
#include "common/clock/time_anchor.h"

namespace cantiere {

class InputRecorder {
 public:
  // Inputs kept at most (some 40 bytes each, 4 MB): days of play.
  static constexpr std::size_t kDefaultCap = 100000;
  // A session is kept this long from its beginning: a day short of the
  // longest recording, so every file the recorder writes replays.
  static constexpr Millis kLongestKept = kLongestRecording - kDayMs;

  InputRecorder(const Program& program, const AnchoredTimeOfDay& time, const Desktop& desktop,
                std::size_t cap = kDefaultCap);

  // The program has started: the high scores it read belong to the session.
  void started();
  // An anchor of the time of day taken at `at` (start-up and re-anchors).
  void anchored(Millis at, const WallTime& wall);
  // An input about to be applied, and the moment after it was.
  void input(Millis at, const ScriptCommand& command);
  void afterInput(Millis at) { watchGame(at); }
  // The ticks due at `at` are about to be delivered, and have been. Told
  // before every change, the recorder knows the state at any moment since
  // the last one: that is where a session that has grown too old is cut.
  void beforeTicks(Millis at) { keepWithinAge(at, at - 1); }
  void afterTicks(Millis at) { watchGame(at); }

  bool hasGame() const { return !games_.empty(); }
  bool gameRunning() const { return !games_.empty() && !games_.back().ended; }
  std::size_t size() const { return entries_.size(); }

  struct Saved {
    std::string text;
    RecordingCheck check;  // how its replay without a window ended
  };
  // The most recent game, up to its end or, if it runs, up to `now` (or
  // the cut).
  Saved lastGame(Millis now);
  // Everything kept, up to `now` or the cut.
  std::string session(Millis now);

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
  enum class Replays : std::uint8_t { Unknown, Yes, No };
  struct Game {
    Prelude start;
    bool ended = false;  // or cut
    std::uint64_t endIndex = 0;
    Millis endAt = 0;
    std::string finalLines;            // the dump after its time line (the last game's only)
    std::size_t endHash = 0;           // of that dump, for every game
    const char* cutBy = nullptr;       // why it was cut while it ran
    Replays alone = Replays::Unknown;  // its own file, replayed, ends as it did
  };
  // Where keeping stopped: the kept entries before `index` are the session.
  struct Cut {
    bool made = false;
    std::uint64_t index = 0;
    Millis at = 0;
    std::string finalLines;
    const char* by = nullptr;
  };

  Prelude preludeAt(Millis at) const;
  void watchGame(Millis at);
  void keep(Millis at, const ScriptCommand& command);
  void makeRoom(Millis at);
  // `holdsAt`: the latest instant the program's state is known at.
  void keepWithinAge(Millis now, Millis holdsAt);
  std::vector<Game>::iterator laterBeginning(Millis holdsAt);
  bool replaysAlone(Game& game, Millis holdsAt) const;
  void trustFirstThatReplays(Millis holdsAt);
  void cutAt(Millis at, const char* by);
  void dropAfterCut();
  void dropBefore(std::uint64_t index);
  void beginAt(std::vector<Game>::iterator game);
  std::string stateLines() const;
  std::string build(const Prelude& from, std::uint64_t to, Millis toAt,
                    const std::string& finalLines, Millis replayFrom, const char* cutBy) const;
  void writePrelude(std::string& out, const Prelude& from) const;

  const Program& program_;
  const AnchoredTimeOfDay& time_;
  const Desktop& desktop_;
  std::size_t cap_;
  std::deque<Entry> entries_;
  std::uint64_t dropped_ = 0;  // entries dropped from the front
  Prelude base_;               // what the kept entries start from
  bool trusted_ = true;        // the session begins there: start-up, or a game that replays
  std::vector<Game> games_;
  Cut cut_;
  std::string cutSession_;  // the session written while the recording begins nowhere trusted
  // At the last press that took the pointer (start-up: none). After a cut,
  // the entries from it on are kept, should it start a game.
  Prelude pendingStart_;
  bool running_ = false;
};

}  // namespace cantiere
