// SPDX-License-Identifier: GPL-3.0-or-later
// Runs a script line by line on a program: the engine of cantiere-sim, of
// the check of a saved game and of its replay in the window.
//
// A script may be a recording: its first line is the version line, and the
// comment lines that follow it, before the first command, give what the
// inputs alone cannot (the screen PLAY centres on, the stored high scores,
// where a replay in the window begins to show); a comment block at its end
// holds the final dump (only `dump` may follow it). A recording runs seven
// days at most and writes no file: a shared file must not keep a program
// busy for hours, nor overwrite anything with a `snapshot`. The program
// starts (as the desktop starts it) just before the first command that is
// not `timeofday`, so a recording's first time of day is the one the
// start-up sees.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/launcher/program.h"
#include "core/script/script_command.h"
#include "core/script/script_lines.h"
#include "core/timing/anchored_time_of_day.h"

namespace cantiere {

inline constexpr const char* kRecordingVersionLine = "# cantiere-recording 1";
inline constexpr const char* kFinalStateLine = "# final state";
// A recording longer than this is refused: a hostile file must not keep a
// program busy for hours replaying idle clock ticks.
inline constexpr std::int64_t kLongestRecording = 7 * kDayMs;

struct RecordingHeader {
  bool present = false;  // the first line is the version line
  bool screenGiven = false;
  ScreenSize screen{1024, 768};
  bool hiscoresGiven = false;
  std::int32_t hiscoreA = 0, hiscoreB = 0;
  std::int64_t replayFrom = 0;  // virtual time at which a replay starts to show
};

class ScriptRunner {
 public:
  struct Hooks {
    // The header is complete; called once, just before the program starts.
    std::function<void(const RecordingHeader&)> header;
    // The program has started.
    std::function<void()> started;
    // Output commands; without a hook they are passed over.
    std::function<void()> dump;
    std::function<bool(const std::string& file, int zoomPercent, std::string& error)> snapshot;
  };

  ScriptRunner(Program& program, Scheduler& scheduler, AnchoredTimeOfDay& time, Hooks hooks);

  // Runs the next line (lines are numbered from 1 as they are fed). False,
  // with `error` set, when the line cannot be run; a line longer than
  // kLongestLine is refused before anything else is done with it.
  bool feed(const std::string& line, std::string& error);
  // Starts the program if no command has (an empty script).
  void finish();

  // Once the program has ended, commands are passed over; the final state
  // is still read.
  void stop() { stopped_ = true; }

  // The script is a recording, whatever its first line says: a file given
  // to be checked or replayed is held to a recording's limits.
  bool asRecording = false;
  bool isRecording() const { return asRecording || header_.present; }

  // With waits deferred, a `wait` line only sets `deferredWait` and the
  // caller lets the time pass (a replay at the speed of the wall clock).
  bool deferWaits = false;
  std::int64_t deferredWait = 0;

  int lineNumber() const { return lineNumber_; }
  bool started() const { return started_; }
  const RecordingHeader& header() const { return header_; }
  // The recorded final dump, its lines without "# ", and the line number
  // of its first line.
  const std::vector<std::string>& finalState() const { return finalState_; }
  int finalStateFirstLine() const { return finalStateLine_; }

 private:
  bool headerLine(const std::string& line, std::string& error);
  bool command(const std::vector<std::string>& words, std::string& error);
  void start();

  Program& program_;
  Scheduler& scheduler_;
  AnchoredTimeOfDay& time_;
  Hooks hooks_;
  RecordingHeader header_;
  int lineNumber_ = 0;
  bool started_ = false;
  bool stopped_ = false;
  bool inFinalState_ = false;
  std::int64_t recordedTime_ = 0;
  std::vector<std::string> finalState_;
  int finalStateLine_ = 0;
};

}  // namespace cantiere
