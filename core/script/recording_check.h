// SPDX-License-Identifier: GPL-3.0-or-later
// Replays a recording with no window and compares the dump it ends with to
// the final state the file carries: `cantiere-sim --verify`, and the
// desktop's own check of a game before it saves or replays it.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "core/script/script_runner.h"

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

RecordingCheck checkRecording(std::istream& in);
RecordingCheck checkRecording(const std::string& text);

// One line for a person: "matches", "line 12: ..." and the like.
std::string describe(const RecordingCheck& check);

}  // namespace cantiere
