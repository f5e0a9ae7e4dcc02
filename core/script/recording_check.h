// SPDX-License-Identifier: GPL-3.0-or-later
// Replays a recording with no window and compares the dump it ends with to
// the final state the file carries: `cantiere-sim --verify`, and the
// desktop's own check of a game before it saves or replays it. Whatever
// its first line says, the file is held to a recording's limits.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "core/script/script_lines.h"
#include "core/script/script_runner.h"
#include "core/settings/memory_settings.h"

namespace cantiere {

struct RecordingCheck {
  enum class Outcome { Matches, Differs, NoFinalState, Bad };
  Outcome outcome = Outcome::Bad;
  // Bad: the line that cannot be run and why. Differs: the file's line of
  // the first recorded line that differs (one past the last when the
  // recorded state is short), with both versions ("" where one is missing).
  int line = 0;
  std::string error;
  std::string recorded, replayed;
  RecordingHeader header;
  std::vector<std::string> replayedState;  // the dump the replay ends with
};

// The check a step at a time, so that a caller with a window to keep
// answering can run it between its events.
class RecordingChecker {
 public:
  // `lines` must outlive the checker.
  explicit RecordingChecker(ScriptLines& lines);
  ~RecordingChecker();

  // Runs at most `lines` more lines and `ms` more of virtual time; true
  // once the check is over and `result` holds its answer.
  bool step(int lines, std::int64_t ms);
  bool done() const { return done_; }
  const RecordingCheck& result() const { return result_; }

 private:
  void conclude();

  struct Run;
  std::unique_ptr<Run> run_;
  ScriptLines& lines_;
  std::int64_t pendingWait_ = 0;
  bool done_ = false;
  RecordingCheck result_;
};

// What a recording's header gives the program that replays it: the screen
// PLAY centres the case on, and the stored high scores.
void applyHeader(const RecordingHeader& header, ScreenSize& screen, MemorySettings& settings);
// A replay's hooks: the header applied so; dump lines passed over.
ScriptRunner::Hooks replayHooks(ScreenSize& screen, MemorySettings& settings);

// The whole check at once.
RecordingCheck checkRecording(std::istream& in);
RecordingCheck checkRecording(const std::string& text);

// One line for a person: "matches", "line 12: ..." and the like. Whatever
// it quotes from the file is cut short and has its control characters
// escaped, so a hostile file cannot write to a terminal through it.
std::string describe(const RecordingCheck& check);

}  // namespace cantiere
