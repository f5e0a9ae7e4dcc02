// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/script/recording_check.h"

#include <istream>
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

}  // namespace

RecordingCheck checkRecording(std::istream& in) {
  Scheduler scheduler;
  AnchoredTimeOfDay time(scheduler);
  RecordingOutput output;
  Sound sound(output);
  MemorySettings settings;
  QuietDesktop desktop;
  Program program(HandheldServices{scheduler, time, sound, settings, desktop});
  ScriptRunner::Hooks hooks;
  hooks.header = [&](const RecordingHeader& h) {
    desktop.size = h.screen;
    if (h.hiscoresGiven) {
      settings.values["hiscorea"] = h.hiscoreA;
      settings.values["hiscoreb"] = h.hiscoreB;
    }
  };
  ScriptRunner runner(program, scheduler, time, hooks);

  RecordingCheck check;
  std::string line, error;
  while (std::getline(in, line)) {
    if (!runner.feed(line, error)) {
      check.outcome = RecordingCheck::Outcome::Bad;
      check.line = runner.lineNumber();
      check.error = error;
      check.header = runner.header();
      return check;
    }
    if (desktop.exited) runner.stop();
  }
  runner.finish();
  check.header = runner.header();

  std::ostringstream dump;
  writeDump(dump, program.form1, scheduler.now());
  std::istringstream lines(dump.str());
  for (std::string l; std::getline(lines, l);) check.replayedState.push_back(l);

  const std::vector<std::string>& recorded = runner.finalState();
  if (recorded.empty()) {
    check.outcome = RecordingCheck::Outcome::NoFinalState;
    return check;
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
    return check;
  }
  check.outcome = RecordingCheck::Outcome::Matches;
  return check;
}

RecordingCheck checkRecording(const std::string& text) {
  std::istringstream in(text);
  return checkRecording(in);
}

std::string describe(const RecordingCheck& c) {
  switch (c.outcome) {
    case RecordingCheck::Outcome::Matches: return "the replay ends in the recorded state";
    case RecordingCheck::Outcome::NoFinalState: return "the file holds no final state to compare";
    case RecordingCheck::Outcome::Bad: return "line " + std::to_string(c.line) + ": " + c.error;
    case RecordingCheck::Outcome::Differs:
      return "line " + std::to_string(c.line) + " differs\n  recorded: " +
             (c.recorded.empty() ? "(nothing)" : c.recorded) +
             "\n  replayed: " + (c.replayed.empty() ? "(nothing)" : c.replayed);
  }
  return "";
}

}  // namespace cantiere
