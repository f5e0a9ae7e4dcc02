// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/script/recording_check.h"

#include <algorithm>
#include <istream>
#include <limits>
#include <sstream>

#include "core/script/state_dump.h"
#include "core/settings/memory_settings.h"
#include "core/sound/recording_output.h"

namespace cantiere {
namespace {

// Only the screen and the end of the program matter to a check.
class QuietDesktop : public Desktop {
 public:
  ScreenSize size{1024, 768};
  bool exited = false;
  ScreenSize screen() const override { return size; }
  void windowChanged(const WindowGeometry&) override {}
  void showLauncher() override {}
  void hideLauncher() override {}
  void showAbout() override {}
  void open(const char*) override {}
  void beep() override {}
  void message(const char*) override {}
  void exit() override { exited = true; }
};

// A recorded and a replayed line, as long as a person can read: both cut
// from the same place, a little before the first character that differs.
constexpr std::size_t kShownLine = 160;

std::string excerpt(const std::string& line, std::size_t from) {
  if (line.empty()) return "(nothing)";
  return (from > 0 ? "..." : "") + printable(line.substr(std::min(from, line.size())), kShownLine);
}

}  // namespace

void applyHeader(const RecordingHeader& header, ScreenSize& screen, MemorySettings& settings) {
  screen = header.screen;
  if (header.hiscoresGiven) {
    settings.values["hiscorea"] = header.hiscoreA;
    settings.values["hiscoreb"] = header.hiscoreB;
  }
}

ScriptRunner::Hooks replayHooks(ScreenSize& screen, MemorySettings& settings) {
  ScriptRunner::Hooks h;
  h.header = [&screen, &settings](const RecordingHeader& header) {
    applyHeader(header, screen, settings);
  };
  return h;
}

struct RecordingChecker::Run {
  Run()
      : time(scheduler),
        sound(output),
        program(HandheldServices{scheduler, time, sound, settings, desktop}),
        runner(program, scheduler, time, replayHooks(desktop.size, settings)) {
    runner.asRecording = true;
    runner.deferWaits = true;
  }
  Scheduler scheduler;
  AnchoredTimeOfDay time;
  RecordingOutput output;
  Sound sound;
  MemorySettings settings;
  QuietDesktop desktop;
  Program program;
  ScriptRunner runner;
};

RecordingChecker::RecordingChecker(ScriptLines& lines)
    : run_(std::make_unique<Run>()), lines_(lines) {}

RecordingChecker::~RecordingChecker() = default;

bool RecordingChecker::step(int lines, std::int64_t ms) {
  ScriptRunner& runner = run_->runner;
  std::string line, error;
  while (!done_) {
    if (pendingWait_ > 0) {
      if (ms <= 0) return false;
      const std::int64_t passing = std::min(pendingWait_, ms);
      run_->scheduler.advance(passing);
      pendingWait_ -= passing;
      ms -= passing;
      continue;
    }
    if (lines-- <= 0) return false;
    if (!lines_.next(line)) {
      conclude();
      break;
    }
    // Once the program has ended, what follows reaches nothing.
    if (run_->desktop.exited) runner.stop();
    if (!runner.feed(line, error)) {
      // The outcome stays Bad, as it starts.
      result_.line = runner.lineNumber();
      result_.error = error;
      result_.header = runner.header();
      done_ = true;
      break;
    }
    pendingWait_ = runner.deferredWait;
    runner.deferredWait = 0;
  }
  return true;
}

void RecordingChecker::conclude() {
  done_ = true;
  ScriptRunner& runner = run_->runner;
  runner.finish();
  RecordingCheck& check = result_;
  check.header = runner.header();

  std::ostringstream dump;
  writeDump(dump, run_->program.form1, run_->scheduler.now());
  std::istringstream lines(dump.str());
  for (std::string l; std::getline(lines, l);) check.replayedState.push_back(l);

  const std::vector<std::string>& recorded = runner.finalState();
  if (recorded.empty()) {
    check.outcome = RecordingCheck::Outcome::NoFinalState;
    return;
  }
  const std::size_t n = std::max(recorded.size(), check.replayedState.size());
  for (std::size_t i = 0; i < n; ++i) {
    const std::string r = i < recorded.size() ? recorded[i] : "";
    const std::string p = i < check.replayedState.size() ? check.replayedState[i] : "";
    if (i < recorded.size() && i < check.replayedState.size() && r == p) continue;
    check.outcome = RecordingCheck::Outcome::Differs;
    check.line = runner.finalStateFirstLine() + static_cast<int>(i);
    check.recorded = r;
    check.replayed = p;
    return;
  }
  check.outcome = RecordingCheck::Outcome::Matches;
}

namespace {

RecordingCheck checkAll(ScriptLines& lines) {
  RecordingChecker checker(lines);
  while (!checker.step(std::numeric_limits<int>::max(),
                       std::numeric_limits<std::int64_t>::max())) {
  }
  return checker.result();
}

}  // namespace

RecordingCheck checkRecording(std::istream& in) {
  StreamLines lines(in);
  return checkAll(lines);
}

RecordingCheck checkRecording(const std::string& text) {
  TextLines lines(text);
  return checkAll(lines);
}

std::string describe(const RecordingCheck& c) {
  switch (c.outcome) {
    case RecordingCheck::Outcome::Matches: return "the replay ends in the recorded state";
    case RecordingCheck::Outcome::NoFinalState: return "the file holds no final state to compare";
    case RecordingCheck::Outcome::Bad:
      return "line " + std::to_string(c.line) + ": " + printable(c.error, 2 * kShownLine);
    case RecordingCheck::Outcome::Differs: {
      const auto first =
          std::mismatch(c.recorded.begin(), c.recorded.end(), c.replayed.begin(), c.replayed.end())
              .first;
      const std::size_t same = static_cast<std::size_t>(first - c.recorded.begin());
      const std::size_t from = same > kShownLine / 2 ? same - kShownLine / 4 : 0;
      return "line " + std::to_string(c.line) + " differs\n  recorded: " +
             excerpt(c.recorded, from) + "\n  replayed: " + excerpt(c.replayed, from);
    }
  }
  return "";
}

}  // namespace cantiere
