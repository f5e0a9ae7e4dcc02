// SPDX-License-Identifier: GPL-3.0-or-later
// The script language shared by the driver, the recorder and the replay:
// what it prints parses back, what it refuses, recordings and their check,
// and hostile files.
#include <gtest/gtest.h>

#include <limits>
#include <random>
#include <sstream>

#include "core/script/recording_check.h"
#include "core/script/script_command.h"
#include "core/script/script_lines.h"
#include "core/script/script_runner.h"
#include "core/script/state_dump.h"
#include "tests/core/test_support.h"

namespace cantiere {
namespace {

std::string reformatted(const std::string& line) {
  ScriptCommand c;
  std::string error;
  if (!parseCommand(scriptWords(line), c, error)) return "refused: " + error;
  return formatCommand(c);
}

TEST(ScriptCommand, WhatIsPrintedParsesBack) {
  for (const char* line :
       {"play 1", "press 10 20", "press 10 20 right", "press -5 7 middle", "click 5 6", "release",
        "release middle", "move -30 40", "keydown ctrl", "keyup 65", "keydown f4",
        "menu PM_8Hiscore", "menu PM_10Exit", "wait 0", "wait 120",
        "timeofday 23:59:59.999 -09:30", "timeofday 00:00:00.000 +14:00", "dump"})
    EXPECT_EQ(reformatted(line), line);
  const Rect& a = info(Puls_GameA).rect;
  EXPECT_EQ(reformatted("press Puls_GameA"),
            "press " + std::to_string(a.left + a.width / 2) + " " +
                std::to_string(a.top + a.height / 2));
  EXPECT_EQ(reformatted("timeofday 7:05   # a comment"), "timeofday 07:05:00.000 +00:00");
  EXPECT_EQ(reformatted("keydown 37"), "keydown left");
  // The zoom may be left out; the file name is not kept.
  EXPECT_EQ(reformatted("snapshot a.png"), "# snapshot");
  EXPECT_EQ(reformatted("snapshot a.png 250"), "# snapshot");
}

// A zone a day or more from universal time (glibc takes up to 24:59) or a
// time outside the day prints as the same local time within the range a
// line takes, so nothing printed is refused when read back.
TEST(ScriptCommand, TimesAndZonesBeyondADayPrintAsTheSameTimeOfDay) {
  constexpr std::int64_t kNoon = 12 * 3600000;
  const struct {
    std::int64_t ms;
    std::int32_t offset;
    const char* printed;
  } kCases[] = {
      {kNoon, 1499, "timeofday 12:00:00.000 +00:59"},
      {kNoon, -1499, "timeofday 12:00:00.000 -00:59"},
      {kNoon, 1440, "timeofday 12:00:00.000 +00:00"},
      {kNoon, 1439, "timeofday 12:00:00.000 +23:59"},
      {kDayMs + 5, 0, "timeofday 00:00:00.005 +00:00"},
      {-1, -1439, "timeofday 23:59:59.999 -23:59"},
  };
  for (const auto& c : kCases) {
    ScriptCommand command;
    command.verb = Verb::TimeOfDay;
    command.ms = c.ms;
    command.offsetMinutes = c.offset;
    EXPECT_EQ(formatCommand(command), c.printed) << c.ms << " " << c.offset;
    EXPECT_EQ(reformatted(c.printed), c.printed);
  }
}

TEST(ScriptCommand, InputsAreWhatTheHandheldReceives) {
  // Mouse, keys, menu choices and PLAY are recorded; time and outputs are not.
  const std::pair<const char*, bool> kLines[] = {
      {"play 2", true},   {"press 1 2", true},   {"click 1 2", true},    {"release", true},
      {"move 1 2", true}, {"keydown ctrl", true}, {"keyup ctrl", true}, {"menu PM_10Exit", true},
      {"wait 5", false},  {"timeofday 12:00", false}, {"dump", false}, {"snapshot a.png", false},
  };
  for (const auto& [line, input] : kLines) {
    ScriptCommand c;
    std::string error;
    ASSERT_TRUE(parseCommand(scriptWords(line), c, error)) << line << ": " << error;
    EXPECT_EQ(isInput(c.verb), input) << line;
  }
}

TEST(ScriptCommand, RefusesWhatItCannotRun) {
  const std::pair<std::string, const char*> kBad[] = {
      {"wait -1", "wait needs"},
      {"wait 3000000000", "wait needs"},
      {"press 100001 0", "within"},
      {"move 0 -100001", "within"},
      {"move 1 2 3", "move needs"},
      {"timeofday 24:00", "timeofday needs"},
      {"timeofday 12:60", "timeofday needs"},
      {"timeofday 12:00:00.1000", "timeofday needs"},
      {"timeofday 12:00 +24:00", "timeofday needs"},
      {"timeofday 12:00 0100", "timeofday needs"},
      {"timeofday 12:00 +02x30", "timeofday needs"},
      {"snapshot a.png 0", "zoom"},
      {"snapshot a.png -100", "zoom"},
      {"snapshot a.png 200 5", "snapshot needs"},
      {"timeofday -1:00", "timeofday needs"},
      {"timeofday", "timeofday needs"},
      {"keydown 70000", "keydown needs"},
      {"menu Nope", "unknown menu entry"},
      {"play 3", "play needs"},
      {"play x", "play needs"},
      {"snapshot", "snapshot needs"},
      {"press Im_Nope", "unknown element"},
      {"release left extra", "unexpected"},
      {std::string(100000, 'x'), "unknown command"},
      {"\x1b[2J\x1b[32mok", "unknown command '\\x1b[2J\\x1b[32mok'"},
  };
  for (const auto& [line, why] : kBad) {
    const std::string got = reformatted(line);
    EXPECT_EQ(got.rfind("refused: ", 0), 0u) << line.substr(0, 40);
    EXPECT_NE(got.find(why), std::string::npos) << got;
    EXPECT_LT(got.size(), 120u) << "a hostile word is cut short in the message";
  }
}

TEST(ScriptCommand, WordsAndWhatIsShownOfThem) {
  const std::pair<std::string, std::vector<std::string>> kWords[] = {
      {"  press\t10  20 right\r", {"press", "10", "20", "right"}},
      {"\v\fwait 5# no space before the comment", {"wait", "5"}},
      {"# a comment", {}},
      {"", {}},
      {" \t ", {}},
  };
  for (const auto& [line, words] : kWords) EXPECT_EQ(scriptWords(line), words) << line;

  // Shown to a person: printable ASCII as it is, anything else escaped.
  const std::pair<std::string, std::string> kShown[] = {
      {"wait 5", "wait 5"},
      {"\x1b[2J\x1b[32mgreen\x1b[0m", "\\x1b[2J\\x1b[32mgreen\\x1b[0m"},
      {"a\\b\tc\r\n", "a\\\\b\\x09c\\x0d\\x0a"},
      {std::string("\0\x7f\x9b\xc3\xa9", 5), "\\x00\\x7f\\x9b\\xc3\\xa9"},
      {std::string(41, 'x'), std::string(40, 'x') + "..."},
      {std::string(40, 'x'), std::string(40, 'x')},
  };
  for (const auto& [text, shown] : kShown) EXPECT_EQ(printable(text, 40), shown);
}

TEST(ScriptLines, FromAStreamOrATextAlikeAndNeverTooMuchOfALine) {
  const std::string tooLong(kLongestLine + 5000, 'x');
  using Lines = std::vector<std::string>;
  const std::pair<std::string, Lines> kTexts[] = {
      {"", {}},
      {"\n", {""}},
      {"a\nb", {"a", "b"}},
      {"a\n\nb\n", {"a", "", "b"}},
      {"a\r\n", {"a\r"}},  // the runner drops the CR
      {std::string("\0\n", 2), {std::string(1, '\0')}},
      {tooLong + "\nwait 5\n", {tooLong.substr(0, kLongestLine + 1), "wait 5"}},
      {std::string(kLongestLine, 'y'), {std::string(kLongestLine, 'y')}},
  };
  for (const auto& [text, expected] : kTexts) {
    std::istringstream in(text);
    StreamLines stream(in);
    TextLines held(text);
    for (ScriptLines* lines :
         {static_cast<ScriptLines*>(&stream), static_cast<ScriptLines*>(&held)}) {
      Lines got;
      for (std::string line; lines->next(line);) got.push_back(line);
      EXPECT_EQ(got, expected) << text.substr(0, 20);
    }
    EXPECT_EQ(held.offset(), text.size() + (text.empty() || text.back() == '\n' ? 0 : 1));
  }
}

TEST(StateDump, EveryLineFitsTheLongestScriptLine) {
  // Every element lit and every number at its widest: a final state the
  // program saves must read back.
  test::AnchoredProgram rig;
  Program& program = rig.program;
  for (int e = 0; e < ElementCount; ++e) program.form1.surface.show(static_cast<Element>(e));
#define CANTIERE_WIDEST(type, name) program.form1.state.name = std::numeric_limits<type>::lowest();
  CANTIERE_GAME_STATE_FIELDS(CANTIERE_WIDEST)
#undef CANTIERE_WIDEST
  std::ostringstream dump;
  writeDump(dump, program.form1, std::numeric_limits<std::int64_t>::lowest());
  std::istringstream lines(dump.str());
  for (std::string line; std::getline(lines, line);)
    EXPECT_LE(line.size() + 2, kLongestLine) << line.substr(0, 20);  // with "# "
}

// A program run by script lines, as the check runs one.
struct Runner : test::AnchoredProgram {
  ScriptRunner runner{program, scheduler, time, {}};
  void run(const std::string& script) {
    std::istringstream in(script);
    std::string error;
    for (std::string line; std::getline(in, line);) ASSERT_TRUE(runner.feed(line, error)) << error;
    runner.finish();
  }
};

TEST(ScriptRunner, TheFirstTimeOfDayIsTheOneTheStartUpDraws) {
  // The launcher's first slide is a draw below 2 from the generator seeded
  // with the time of day in milliseconds: the top bit of seed x 134775813 + 1.
  for (const std::uint32_t ms : {0u, 1u, 2u, 3u, 43200000u, 43200001u}) {
    Runner r;
    r.run("timeofday " + formatTimeOfDay(ms) + "\ndump\n");
    const std::uint32_t state = ms * 134775813u + 1u;
    EXPECT_EQ(r.program.splash.SplashSlide, static_cast<int>(state >> 31) + 1) << ms;
  }
}

TEST(ScriptRunner, DeferredWaitsLeaveTheTimeToTheCaller) {
  Runner r;
  r.runner.deferWaits = true;
  r.run("play 2\nwait 750\n");
  EXPECT_EQ(r.runner.deferredWait, 750);
  EXPECT_EQ(r.scheduler.now(), 0);
}

TEST(ScriptRunner, ARecordingRunsSevenDaysAtMost) {
  // A recording by its first line, or taken as one (a check, a replay).
  for (const bool versionLine : {false, true}) {
    Runner r;
    r.runner.deferWaits = true;
    r.runner.asRecording = !versionLine;
    std::string error;
    ASSERT_TRUE(!versionLine || r.runner.feed(kRecordingVersionLine, error)) << error;
    for (int day = 1; day <= 7; ++day)
      ASSERT_TRUE(r.runner.feed("wait " + std::to_string(kDayMs), error)) << day << ": " << error;
    EXPECT_FALSE(r.runner.feed("wait 1", error));
    EXPECT_NE(error.find("seven days"), std::string::npos) << error;
  }
}

TEST(ScriptRunner, ALaterTimeOfDayHoldsFromItsInstant) {
  Runner r;
  r.run("wait 1500\ntimeofday 10:00:00.000 +02:00\nwait 250\n");
  EXPECT_EQ(r.time.universalMillisOfDay(), 36000250u);
  EXPECT_EQ(r.time.local().hour, 12);
  EXPECT_EQ(r.time.universalAt(1500), 36000000);
}

// A short game with its own final state, as a recording carries it.
std::string recording(const std::string& header = "# screen 800x600\n# hiscores 120 7\n") {
  const std::string body = std::string(kRecordingVersionLine) + "\n" + header +
                           "timeofday 08:30:00.000 +01:00\nplay 2\nclick Im_Front\n"
                           "press Puls_GameA\nwait 80\nrelease\nwait 2000\nkeydown ctrl\n"
                           "wait 40\nkeyup ctrl\nwait 900\n";
  std::string text = body + kFinalStateLine + "\n";
  for (const std::string& l : checkRecording(body).replayedState) text += "# " + l + "\n";
  return text;
}

std::string replaced(std::string text, const std::string& from, const std::string& to) {
  const auto at = text.find(from);
  return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

TEST(RecordingCheck, TheHeaderSetsTheScreenAndTheHighScores) {
  const RecordingCheck c = checkRecording(recording());
  ASSERT_EQ(c.outcome, RecordingCheck::Outcome::Matches) << describe(c);
  EXPECT_EQ(c.replayedState.at(0), "time 3020");
  EXPECT_EQ(c.replayedState.at(1), "window left=168 top=0 width=464 height=571");
  EXPECT_NE(c.replayedState.at(4).find(" HiScoreA=120 HiScoreB=7 "), std::string::npos);
}

TEST(RecordingCheck, SaysHowAFileEnds) {
  using O = RecordingCheck::Outcome;
  const std::string good = recording();
  // Lines 1-3 the header, 4-14 the commands, 15 the marker, 16-21 the dump.
  const int stateLine = 20;
  struct Case {
    const char* name;
    std::string text;
    O outcome;
    int line;
  };
  const Case kCases[] = {
      {"as saved", good, O::Matches, 0},
      {"with CR LF", replaced(replaced(good, "\nplay 2\n", "\r\nplay 2\r\n"), "\nwait 80\n",
                             "\r\nwait 80\r\n"), O::Matches, 0},
      {"a dump after it", good + "dump\n", O::Matches, 0},
      {"another score", replaced(good, " HiScoreA=120 ", " HiScoreA=121 "), O::Differs, stateLine},
      {"cut short", good.substr(0, good.rfind("# timers")), O::Differs, stateLine + 1},
      {"no final state", good.substr(0, good.find(kFinalStateLine)), O::NoFinalState, 0},
      {"another version", replaced(good, "recording 1", "recording 2"), O::Bad, 1},
      {"a bad screen", replaced(good, "800x600", "0x600"), O::Bad, 2},
      {"bad high scores", replaced(good, "120 7", "120"), O::Bad, 3},
      {"a bad command", replaced(good, "wait 900", "wait nine"), O::Bad, 14},
      {"a key after it", good + "keydown left\n", O::Bad, 22},
      {"a second one", good + kFinalStateLine + "\n", O::Bad, 22},
      {"eight days long", replaced(good, "wait 900", "wait 691200000"), O::Bad, 14},
      {"the launcher gone", replaced(good, "click Im_Front", "play 1"), O::Bad, 6},
      {"a line more", good + "# extra\n", O::Differs, 22},
      {"a snapshot after it", good + "snapshot /tmp/x.png\n", O::Bad, 22},
      {"a snapshot in it", replaced(good, "wait 900", "snapshot x.png"), O::Bad, 14},
      {"a long comment", replaced(good, "wait 900", "wait 900 #" + std::string(4086, '-')),
       O::Matches, 0},
      {"a line too long", replaced(good, "wait 900", "wait 900 #" + std::string(4087, '-')),
       O::Bad, 14},
      {"no version line, eight days long",
       replaced(good.substr(good.find('\n') + 1), "wait 900", "wait 691200000"), O::Bad, 13},
      {"no version line, a snapshot", good.substr(good.find('\n') + 1) + "snapshot x.png\n",
       O::Bad, 21},
      {"a screen one pixel high", replaced(good, "800x600", "1024x1"), O::Differs, 17},
      {"a screen one pixel wide", replaced(good, "800x600", "1x600"), O::Differs, 17},
      {"a screen no pixel high", replaced(good, "800x600", "800x0"), O::Bad, 2},
      {"the widest screen", replaced(good, "800x600", "100000x600"), O::Differs, 17},
      {"a screen too wide", replaced(good, "800x600", "100001x600"), O::Bad, 2},
      {"the tallest screen", replaced(good, "800x600", "800x100000"), O::Differs, 17},
      {"a screen too tall", replaced(good, "800x600", "800x100001"), O::Bad, 2},
      {"replay-from 0", recording("# replay-from 0\n"), O::Matches, 0},
      {"replay-from a week", recording("# replay-from 604800000\n"), O::Matches, 0},
      {"replay-from past a week", recording("# replay-from 604800001\n"), O::Bad, 2},
      {"replay-from before the start", recording("# replay-from -1\n"), O::Bad, 2},
      {"replay-from no time", recording("# replay-from soon\n"), O::Bad, 2},
  };
  for (const Case& c : kCases) {
    const RecordingCheck got = checkRecording(c.text);
    EXPECT_EQ(got.outcome, c.outcome) << c.name << ": " << describe(got);
    EXPECT_EQ(got.line, c.line) << c.name << ": " << describe(got);
    EXPECT_EQ(got.error.empty(), c.outcome != O::Bad) << c.name;
  }
  const RecordingCheck cut = checkRecording(good.substr(0, good.rfind("# timers")));
  EXPECT_NE(describe(cut).find("recorded: (nothing)"), std::string::npos) << describe(cut);
  EXPECT_EQ(checkRecording(recording("# replay-from 1234\n")).header.replayFrom, 1234);
  EXPECT_TRUE(checkRecording(replaced(good, "wait 900", "wait nine")).header.hiscoresGiven)
      << "a refused file still tells its header";
  EXPECT_EQ(checkRecording("").replayedState, checkRecording("wait 0\n").replayedState)
      << "an empty file ends as the program starts";
  const RecordingCheck differs = checkRecording(replaced(good, " HiScoreA=120 ", " HiScoreA=121 "));
  EXPECT_NE(differs.recorded.find("HiScoreA=121"), std::string::npos);
  EXPECT_NE(differs.replayed.find("HiScoreA=120"), std::string::npos);
}

TEST(RecordingCheck, CommandsAfterTheExitArePassedOver) {
  // Exit ends the program; the inputs after it reach nothing.
  const std::string body = std::string(kRecordingVersionLine) +
                           "\nplay 2\nclick Im_Front\nmenu PM_10Exit\nwait 500\nclick Puls_GameA\n";
  std::string text = body + kFinalStateLine + "\n";
  for (const std::string& l : checkRecording(body).replayedState) text += "# " + l + "\n";
  const RecordingCheck c = checkRecording(text);
  EXPECT_EQ(c.outcome, RecordingCheck::Outcome::Matches) << describe(c);
  EXPECT_EQ(c.replayedState.at(0), "time 0") << "the wait after the exit passes no time";
}

TEST(RecordingCheck, ADifferenceIsShownSafelyAndWhereItIs) {
  // A crafted final state that would clear a terminal and print a verdict
  // of its own, and a long line that differs near its end.
  RecordingCheck c;
  c.outcome = RecordingCheck::Outcome::Differs;
  c.line = 9;
  c.recorded = "\x1b[2J\x1b[32mthe replay ends in the recorded state\x1b[0m";
  c.replayed = "state GameRunning=1";
  std::string said = describe(c);
  EXPECT_EQ(said.find('\x1b'), std::string::npos) << said;
  EXPECT_NE(said.find("recorded: \\x1b[2J\\x1b[32mthe replay"), std::string::npos) << said;
  c.recorded = "lit " + std::string(3000, 'x') + " Im_Ape";
  c.replayed = "lit " + std::string(3000, 'x') + " Im_Key";
  said = describe(c);
  EXPECT_LT(said.size(), 500u);
  EXPECT_NE(said.find("x Im_Ape"), std::string::npos) << said;
  EXPECT_NE(said.find("x Im_Key"), std::string::npos) << said;
  for (const char ch : said) EXPECT_TRUE(ch == '\n' || (ch >= 0x20 && ch < 0x7f)) << int(ch);
}

// The check in steps of at most `lines` lines and `ms` of virtual time;
// how many steps it took.
int stepped(const std::string& text, int lines, std::int64_t ms, RecordingCheck& result) {
  TextLines source(text);
  RecordingChecker checker(source);
  int steps = 1;
  while (!checker.step(lines, ms)) ++steps;
  result = checker.result();
  return steps;
}

TEST(RecordingCheck, StepByStepItIsTheSameCheckInBoundedSteps) {
  const std::string good = recording();  // 21 lines, 2940 ms of waits
  RecordingCheck got;
  EXPECT_GE(stepped(good, 1, 1 << 30, got), 21);
  EXPECT_EQ(got.outcome, RecordingCheck::Outcome::Matches) << describe(got);
  EXPECT_GE(stepped(good, 1000, 100, got), 2940 / 100);
  EXPECT_EQ(got.outcome, RecordingCheck::Outcome::Matches) << describe(got);
  EXPECT_EQ(got.replayedState, checkRecording(good).replayedState);
  // Every millisecond of a wait passes, however the steps fall.
  std::string ticks = "play 2\n";
  for (int i = 0; i < 50; ++i) ticks += "wait 1\n";
  stepped(ticks, 3, 1, got);
  EXPECT_EQ(got.replayedState.at(0), "time 50");
}

TEST(RecordingCheck, HostileFilesNeverCrashIt) {
  // Fixed seed: the same damaged files on every run.
  std::mt19937 random(20240613);
  const std::string good = recording();
  const std::string junk[] = {"wait 2147483647", "move 99999 -99999", "press -99999 3",
                              std::string("\0\xff\xfe", 3), "#", "# final state",
                              "keydown 65535", "timeofday 23:59:59.999 -23:59",
                              "# hiscores -2147483648 2147483647", "release right"};
  for (int i = 0; i < 400; ++i) {
    std::string text = good;
    for (int edit = 0; edit < 1 + static_cast<int>(random() % 4); ++edit) {
      const std::size_t at = random() % (text.size() + 1);
      switch (random() % 4) {
        case 0: text = text.substr(0, at); break;  // truncated
        case 1: if (at < text.size()) text[at] = static_cast<char>(random()); break;
        case 2: text.insert(at, "\n" + junk[random() % std::size(junk)] + "\n"); break;
        case 3: text.insert(at, text.substr(at, random() % 200)); break;  // repeated
      }
    }
    const RecordingCheck c = checkRecording(text);
    if (c.outcome == RecordingCheck::Outcome::Bad) {
      EXPECT_GE(c.line, 1) << text;
      EXPECT_FALSE(c.error.empty());
    }
    // Run in small steps, as the desktop runs it, it says the same.
    RecordingCheck s;
    stepped(text, 1 + static_cast<int>(random() % 5), 1 + random() % 3000, s);
    EXPECT_EQ(s.outcome, c.outcome) << describe(s) << " / " << describe(c);
    EXPECT_EQ(s.line, c.line);
    EXPECT_EQ(s.replayedState, c.replayedState);
  }
}

}  // namespace
}  // namespace cantiere
