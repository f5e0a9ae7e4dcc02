// SPDX-License-Identifier: GPL-3.0-or-later
// The recorder: saved games replay to the state the game ended in, also
// when a game inherits from the one before, and memory stays within its cap.
#include <gtest/gtest.h>

#include "core/script/script_runner.h"
#include "common/replay/input_recorder.h"
#include "tests/core/test_support.h"

namespace cantiere {
namespace {

constexpr std::int64_t kTen = 10 * 3600000;  // 10:00 universal

// A program on virtual time fed as the desktop feeds it: each input told to
// the recorder, each instant's ticks followed by a look at the game.
struct RecorderRig : test::AnchoredProgram {
  explicit RecorderRig(std::size_t cap = InputRecorder::kDefaultCap)
      : recorder(program, time, desktop, cap) {
    time.set(kTen, 60);
    recorder.anchored(0, {kTen, 60});
    program.start();
    recorder.started();
  }

  void wait(Millis ms) {
    const Millis target = scheduler.now() + ms;
    for (Millis due; (due = scheduler.nextDue()) <= target;) {
      recorder.beforeTicks(due);
      scheduler.advance(due - scheduler.now());
      recorder.afterTicks(scheduler.now());
      if (!program.form1.state.GameRunning && endedAt < 0 && started) endedAt = scheduler.now();
    }
    scheduler.advance(target - scheduler.now());
  }
  void input(const std::string& line) {
    ScriptCommand c;
    std::string error;
    ASSERT_TRUE(parseCommand(scriptWords(line), c, error)) << line << ": " << error;
    recorder.input(scheduler.now(), c);
    applyInput(c, program, error);
    recorder.afterInput(scheduler.now());
  }
  void open() {
    input("play 2");
    wait(300);
    input("click Im_Front");
  }
  void startGame(const char* button = "Puls_GameA") {
    input(std::string("press ") + button);
    wait(120);
    input("release");
    started = true;
    endedAt = -1;
  }
  static Millis finalTime(const std::string& text) {
    const auto at = text.find("# final state\n# time ");
    return at == std::string::npos ? -1 : std::stoll(text.substr(at + 21));
  }

  InputRecorder recorder;
  bool started = false;
  Millis endedAt = -1;
};

TEST(InputRecorder, AFinishedGameIsSavedToItsEndAndReplaysToItsState) {
  RecorderRig r;
  r.settings.values["hiscorea"] = 0;
  r.open();
  r.input("press Im_Base");  // the case dragged away from where PLAY put it
  r.input("move 100 -30");
  r.input("release");
  r.wait(1000);
  const Millis pressed = r.scheduler.now();
  r.startGame();
  r.input("keydown ctrl");  // in early, then a step and a jump
  r.wait(40);
  r.input("keyup ctrl");
  r.wait(700);
  r.input("keydown right");
  r.wait(50);
  r.input("keyup right");
  r.input("press Im_Base");  // a drag during the game
  r.input("move 300 40");
  r.input("release");
  r.wait(120000);  // left alone, the barrels take the three lives
  ASSERT_FALSE(r.program.form1.state.GameRunning);
  ASSERT_GT(r.endedAt, 0);

  const InputRecorder::Saved saved = r.recorder.lastGame(r.scheduler.now());
  EXPECT_EQ(saved.check.outcome, RecordingCheck::Outcome::Matches) << describe(saved.check);
  EXPECT_EQ(saved.text.rfind(std::string(kRecordingVersionLine) + "\n", 0), 0u);
  EXPECT_EQ(saved.text.find("# replay-from"), std::string::npos) << "the game alone suffices";
  EXPECT_EQ(RecorderRig::finalTime(saved.text), r.endedAt - pressed)
      << "the file ends where the game did, not where the save was made";
  EXPECT_NE(saved.text.find("move "), std::string::npos);
}

TEST(InputRecorder, AGameThatInheritsFromTheOneBeforeStartsItsFileThere) {
  RecorderRig r;
  r.open();
  const Millis first = r.scheduler.now();
  r.startGame();
  r.wait(20000);  // hit at least once: the miss counters keep their values
  ASSERT_GT(r.program.form1.state.BlinkPhase, 0);
  r.input("press Puls_ACL");
  r.wait(100);
  r.input("release");
  r.wait(3000);
  const Millis second = r.scheduler.now();
  r.startGame("Puls_GameB");
  r.wait(1500);  // saved while it runs, before any miss of its own

  const InputRecorder::Saved saved = r.recorder.lastGame(r.scheduler.now());
  EXPECT_EQ(saved.check.outcome, RecordingCheck::Outcome::Matches) << describe(saved.check);
  EXPECT_NE(saved.text.find("# replay-from "), std::string::npos);
  EXPECT_EQ(RecorderRig::finalTime(saved.text) - std::stoll(saved.text.substr(
                saved.text.find("# replay-from ") + 14)),
            1500 + 120)
      << "the replay shows the last game only";
  EXPECT_EQ(std::stoll(saved.text.substr(saved.text.find("# replay-from ") + 14)), second - first)
      << "the file begins at the game before, not further back";
}


TEST(InputRecorder, HoveringIsNotKeptAndDraggingIs) {
  RecorderRig r;
  r.open();
  const std::size_t before = r.recorder.size();
  r.input("move 200 200");
  r.input("move 210 200");
  EXPECT_EQ(r.recorder.size(), before);
  r.input("press Im_Base");
  r.input("move 210 220");
  r.input("release");
  EXPECT_EQ(r.recorder.size(), before + 3);
}

TEST(InputRecorder, BeyondTheCapTheOldestGamesGoAndTheRestStillReplays) {
  constexpr std::size_t kCap = 60;
  RecorderRig r(kCap);
  r.open();
  for (int game = 0; game < 6; ++game) {
    r.startGame(game % 2 ? "Puls_GameB" : "Puls_GameA");
    for (int step = 0; step < 8; ++step) {
      r.input("keydown right");
      r.wait(40);
      r.input("keyup right");
      r.wait(300);
    }
    r.input("press Puls_ACL");
    r.input("release");
    r.wait(500);
    EXPECT_LE(r.recorder.size(), kCap);
  }
  const InputRecorder::Saved last = r.recorder.lastGame(r.scheduler.now());
  EXPECT_EQ(last.check.outcome, RecordingCheck::Outcome::Matches) << describe(last.check);
  const std::string session = r.recorder.session(r.scheduler.now());
  EXPECT_NE(session.find("\nplay 2\n"), std::string::npos) << "begins with a game's prelude";
  EXPECT_EQ(checkRecording(session).outcome, RecordingCheck::Outcome::Matches)
      << describe(checkRecording(session));
}

TEST(InputRecorder, ASessionNeverOutgrowsARecording) {
  RecorderRig r;
  r.open();
  r.wait(60000);
  r.startGame();
  r.wait(3000);
  r.input("click Puls_ACL");
  r.wait(7 * kDayMs + 12 * 3600000);  // a week and a half later
  r.startGame("Puls_GameB");
  r.wait(2000);
  const std::string session = r.recorder.session(r.scheduler.now());
  EXPECT_EQ(checkRecording(session).outcome, RecordingCheck::Outcome::Matches)
      << describe(checkRecording(session));
  EXPECT_EQ(RecorderRig::finalTime(session), 2000 + 120) << "begins at the last game";
}

TEST(InputRecorder, TheWholeSessionReplaysFromStartUp) {
  RecorderRig r;
  r.open();
  r.startGame();
  r.wait(5000);
  r.recorder.anchored(r.scheduler.now(), {kTen + 3 * 3600000, 120});  // a re-anchor
  r.time.set(kTen + 3 * 3600000, 120);
  r.wait(30000);
  const std::string session = r.recorder.session(r.scheduler.now());
  EXPECT_NE(session.find("# hiscores 0 0\ntimeofday 10:00:00.000 +01:00\n"), std::string::npos)
      << "from start-up: its anchor comes first";
  EXPECT_NE(session.find("timeofday 13:00:00.000 +02:00"), std::string::npos);
  EXPECT_EQ(checkRecording(session).outcome, RecordingCheck::Outcome::Matches)
      << describe(checkRecording(session));
}

bool replays(const std::string& text) {
  return checkRecording(text).outcome == RecordingCheck::Outcome::Matches;
}
bool saysCut(const std::string& text) { return text.find("\n# cut: ") != std::string::npos; }
bool inherits(const InputRecorder::Saved& game) {
  return game.text.find("# replay-from") != std::string::npos;
}
// A file that replays, lasts `length` and says whether it was cut.
void expectFile(const std::string& text, Millis length, bool cut, const char* what) {
  EXPECT_TRUE(replays(text)) << what << ": " << describe(checkRecording(text));
  EXPECT_EQ(RecorderRig::finalTime(text), length) << what;
  EXPECT_EQ(saysCut(text), cut) << what;
}

// A stick held against the side is read every 33 ms. Returns the instant
// of the first read beyond the cap, given the entries kept before.
Millis holdTheStick(RecorderRig& r, std::size_t keptBefore, std::size_t cap) {
  Millis full = -1;
  for (std::size_t i = 0; i < cap + 40; ++i) {
    if (keptBefore + i == cap) full = r.scheduler.now();
    r.input(i % 2 ? "keyup left" : "keydown left");
    r.wait(33);
    EXPECT_LE(r.recorder.size(), cap);
  }
  return full;
}

// A game of five seconds leaves a barrel lit that ACL and the next game's
// start leave alone: the next game inherits it, and a file beginning there
// cannot replay.
Millis playFiveSecondsAndReset(RecorderRig& r) {
  const Millis pressed = r.scheduler.now();
  r.startGame();
  r.wait(5000);
  r.input("click Puls_ACL");
  return pressed;
}

constexpr std::size_t kSmallCap = 40;

// One game alone outgrows the memory: it and the session end where the
// memory was full and say so; keeping begins again with the next game.
TEST(InputRecorder, AGameThatOutgrowsTheCapIsCutAndTheNextGameIsKeptAgain) {
  RecorderRig r(kSmallCap);
  r.open();
  const Millis pressed = r.scheduler.now();
  r.startGame();
  // The first game replays alone, so what came before it goes first.
  const Millis full = holdTheStick(r, 2, kSmallCap);
  ASSERT_TRUE(r.program.form1.state.GameRunning);
  EXPECT_TRUE(r.recorder.hasGame()) << "the game can still be saved";
  expectFile(r.recorder.session(r.scheduler.now()), full - pressed, true, "session");
  expectFile(r.recorder.lastGame(r.scheduler.now()).text, full - pressed, true, "game");

  r.input("press Puls_ACL");
  r.input("release");
  r.wait(1000);
  r.input("press Puls_GameB");
  EXPECT_EQ(r.recorder.size(), kSmallCap + 1) << "after the cut, only what may start a game";
  r.wait(120);
  r.input("release");
  r.wait(1500);
  expectFile(r.recorder.session(r.scheduler.now()), 120 + 1500, false, "session from Game B");
  expectFile(r.recorder.lastGame(r.scheduler.now()).text, 120 + 1500, false, "Game B");
}

// A session begins only at a game that replays alone: beyond the cap it
// is cut rather than begin at one that inherits, and after a cut it moves
// on to the first that replays alone.
TEST(InputRecorder, BeyondTheCapASessionBeginsOnlyAtAGameThatReplaysAlone) {
  RecorderRig r(kSmallCap);
  r.open();
  const Millis first = playFiveSecondsAndReset(r);
  r.startGame();
  Millis full = holdTheStick(r, 5, kSmallCap);
  const InputRecorder::Saved second = r.recorder.lastGame(r.scheduler.now());
  ASSERT_TRUE(inherits(second));
  expectFile(second.text, full - first, true, "the second game, from the first");
  expectFile(r.recorder.session(r.scheduler.now()), full - first, true, "session");

  r.input("click Puls_ACL");
  const Millis third = playFiveSecondsAndReset(r);
  ASSERT_FALSE(inherits(r.recorder.lastGame(r.scheduler.now())));
  r.startGame();
  full = holdTheStick(r, 5, kSmallCap);
  ASSERT_TRUE(inherits(r.recorder.lastGame(r.scheduler.now())));
  expectFile(r.recorder.session(r.scheduler.now()), full - third, true, "session");
}

// Left as a clock for eight days, with summer time beginning on the
// seventh: the session ends six days after its beginning, within what a
// recording may last (the clock's hour tells when its end was taken).
std::string leaveAsAClockForEightDays(RecorderRig& r) {
  r.open();
  playFiveSecondsAndReset(r);
  r.input("click Puls_Time");
  r.wait(6 * kDayMs + kDayMs / 2);
  r.recorder.anchored(r.scheduler.now(), {r.time.universalNow(), 120});
  r.time.set(r.time.universalNow(), 120);
  r.wait(kDayMs + kDayMs / 2);
  const std::string session = r.recorder.session(r.scheduler.now());
  expectFile(session, InputRecorder::kLongestKept, true, "session");
  return session;
}

TEST(InputRecorder, AfterSixDaysTheSessionStaysCutUntilAGameReplaysAlone) {
  RecorderRig r(kSmallCap);
  const std::string session = leaveAsAClockForEightDays(r);
  // This game inherits the first one's barrel; cut in its turn, it is
  // still no beginning, nor is the next, which inherits from it.
  const Millis started = r.scheduler.now();
  r.startGame();
  holdTheStick(r, 2, kSmallCap);
  const InputRecorder::Saved now = r.recorder.lastGame(r.scheduler.now());
  ASSERT_NE(now.check.outcome, RecordingCheck::Outcome::Matches) << "the game inherits";
  EXPECT_TRUE(saysCut(now.text)) << "yet it can be saved";
  EXPECT_EQ(r.recorder.session(r.scheduler.now()), session);
  r.wait(5120 - (r.scheduler.now() - started));
  r.input("click Puls_ACL");
  r.startGame();
  r.wait(2000);
  ASSERT_NE(r.recorder.lastGame(r.scheduler.now()).check.outcome, RecordingCheck::Outcome::Matches);
  EXPECT_EQ(r.recorder.session(r.scheduler.now()), session);
}

TEST(InputRecorder, AfterSixDaysAGameThatReplaysAloneBeginsTheSession) {
  RecorderRig r;
  const std::string session = leaveAsAClockForEightDays(r);
  const InputRecorder::Saved first = r.recorder.lastGame(r.scheduler.now());
  expectFile(first.text, 5000 + 120, false, "the first game, ended long before");

  // Game B held for a week: no file may begin at its press.
  r.input("press Puls_GameB");
  r.wait(7 * kDayMs);
  r.input("release");
  r.wait(1000);
  r.input("click Puls_ACL");
  EXPECT_EQ(r.recorder.lastGame(r.scheduler.now()).text, first.text);
  EXPECT_EQ(r.recorder.session(r.scheduler.now()), session);

  r.startGame();
  r.wait(2000);
  ASSERT_FALSE(inherits(r.recorder.lastGame(r.scheduler.now())));
  expectFile(r.recorder.session(r.scheduler.now()), 120 + 2000, false, "session");
}

// A zone a day or more ahead or behind (glibc takes up to 24:59) is written
// as the same local time within the range a timeofday line takes.
TEST(InputRecorder, AZoneOfADayOrMoreIsWrittenAsOneThatReadsBack) {
  for (const std::int32_t offset : {1499, -1499, 1440, -1440}) {
    RecorderRig r;
    r.open();
    r.wait(1000);
    r.recorder.anchored(r.scheduler.now(), {kTen, offset});
    r.time.set(kTen, offset);
    r.input("click Puls_Time");  // the clock shows local time
    r.wait(2000);
    const std::string session = r.recorder.session(r.scheduler.now());
    EXPECT_TRUE(replays(session)) << offset << ": " << describe(checkRecording(session));
  }
}

// With no screen known, PLAY's landing in the file is the replay's own: the
// drag in the prelude starts from there.
TEST(InputRecorder, AGameOnADesktopWithNoScreenSizeReplays) {
  RecorderRig r;
  r.desktop.size = {0, 0};
  r.open();
  r.input("press Im_Base");
  r.input("move 60 50");
  r.input("release");
  r.startGame();
  r.wait(3000);
  const InputRecorder::Saved game = r.recorder.lastGame(r.scheduler.now());
  EXPECT_EQ(game.check.outcome, RecordingCheck::Outcome::Matches) << describe(game.check);
}

}  // namespace
}  // namespace cantiere
