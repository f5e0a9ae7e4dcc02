// SPDX-License-Identifier: GPL-3.0-or-later
// Replaying a recording in the handheld window: refused files leave the
// handheld alone, a replay shows the recorded end, takes no input but Esc
// and the speed keys, writes no high score, and gives the handheld back;
// a long file is checked while the window goes on answering.
#include <QKeyEvent>
#include <sstream>

#include "core/script/recording_check.h"
#include "core/script/state_dump.h"
#include "frontend/replay/replay_player.h"
#include "tests/frontend/desktop_rig.h"

namespace cantiere::test {
namespace {

// A recording of a Game B start and `ms` of play, with its final state.
std::string recording(int ms, const std::string& header = "") {
  const std::string body = std::string(kRecordingVersionLine) + "\n# hiscores 5 9\n" + header +
                           "timeofday 12:34:56.789 +00:00\nplay 2\n"
                           "click Im_Front\npress Puls_GameB\nwait 100\nrelease\nwait " +
                           std::to_string(ms) + "\n";
  std::string text = body + kFinalStateLine + "\n";
  for (const std::string& l : checkRecording(body).replayedState) text += "# " + l + "\n";
  return text;
}

std::string state(const Program& p, Millis time) {
  std::ostringstream out;
  writeDump(out, p.form1, time);
  return out.str();
}

struct ReplayRig : DesktopRig {
  // PLAY pressed and the lid opened, or the launcher still waiting.
  explicit ReplayRig(bool played = true) {
    if (played) {
      play(2);
      click(centre(Im_Front));
    }
    player.checked = [this](const QString& refusal) { verdicts.push_back(refusal); };
    player.broke = [this](const QString& problem) { problems.push_back(problem); };
  }
  // Starts a replay and waits for the check's verdict: "" when it shows.
  QString start(const std::string& text, const QString& name = "game.sim") {
    const qsizetype before = verdicts.size();
    player.start(name, text);
    if (!QTest::qWaitFor([&] { return verdicts.size() > before; }, 10000)) return "no verdict";
    return verdicts.back();
  }
  void expectHandheldAsItWas() {
    EXPECT_FALSE(player.active());
    EXPECT_FALSE(clock.paused());
    EXPECT_EQ(&form1->shownSurface(), &program.form1.surface);
    EXPECT_EQ(form1->windowTitle(), "Cantiere (Ludoria) Simulator");
    for (QAction* a : form1->actions()) EXPECT_TRUE(a->isEnabled());
  }
  ReplayPlayer player{windows.replayStage(), clock, program, sound, output};
  QStringList verdicts, problems;
};

TEST(ReplayPlayer, ARefusedFileLeavesTheHandheldAsItWas) {
  // Every file is held to a recording's limits, version line or not.
  const std::pair<std::string, const char*> kRefused[] = {
      {"play 2\nclick Im_Front\n\nwait -5\n", "line 4: wait needs"},
      {"play 2\nclick Im_Front\nwait 400000000\nwait 400000000\n", "line 4: a recording runs"},
      {recording(100) + "snapshot /tmp/replay.png\n", "line 17: a recording writes no files"},
      {"play 2\n# " + std::string(5000, 'x') + "\n", "line 2: a line is longer"},
  };
  ReplayRig r;
  for (const auto& [text, why] : kRefused) {
    EXPECT_TRUE(r.start(text).contains(why)) << r.verdicts.back().toStdString();
    r.expectHandheldAsItWas();
  }
}

TEST(ReplayPlayer, ShowsTheRecordedEndAndEscGivesTheHandheldBack) {
  ReplayRig r;
  const std::string before = state(r.program, 0);
  const std::size_t writes = r.settings.writes.size();
  const std::string text = recording(1500);
  ASSERT_EQ(r.start(text), "");
  EXPECT_TRUE(r.clock.paused()) << "the handheld stands still meanwhile";
  ASSERT_NE(r.player.replayed(), nullptr);
  EXPECT_EQ(&r.form1->shownSurface(), &r.player.replayed()->form1.surface);
  EXPECT_TRUE(r.form1->windowTitle().contains("game.sim"));

  // The player's input reaches neither program.
  QTest::mouseClick(r.form1.get(), Qt::LeftButton, {}, DesktopRig::centre(Puls_ACL));
  QTest::keyClick(r.form1.get(), Qt::Key_Right);
  QTest::keyClick(r.form1.get(), Qt::Key_4);
  EXPECT_EQ(r.player.speed(), 4);
  ASSERT_TRUE(QTest::qWaitFor([&] { return r.player.ended(); }, 5000));
  const RecordingCheck check = checkRecording(text);
  std::string recorded;
  for (const std::string& l : check.replayedState) recorded += l + "\n";
  EXPECT_EQ(state(*r.player.replayed(), 1600), recorded) << "ends where the file does";
  EXPECT_EQ(r.settings.writes.size(), writes) << "a replay writes no high score";
  EXPECT_TRUE(r.problems.empty());

  QTest::keyClick(r.form1.get(), Qt::Key_Escape);
  ASSERT_TRUE(QTest::qWaitFor([&] { return !r.player.active(); }, 2000));
  r.expectHandheldAsItWas();
  EXPECT_EQ(state(r.program, 0), before);
  EXPECT_EQ(r.quits, 0) << "Esc ended the replay, not the program";
}

TEST(ReplayPlayer, PlaysAtTheWallClocksPaceOrFasterFromWhereTheGameBegins) {
  ReplayRig r;
  QElapsedTimer wall;
  wall.start();
  ASSERT_EQ(r.start(recording(1500)), "");
  ASSERT_TRUE(QTest::qWaitFor([&] { return r.player.replayedTime() > 300; }, 5000));
  EXPECT_LE(r.player.replayedTime(), wall.elapsed()) << "at 1x it never runs ahead of the wall clock";
  r.player.stop();

  ASSERT_EQ(r.start(recording(6000)), "");
  QTest::keyClick(r.form1.get(), Qt::Key_2);
  EXPECT_EQ(r.player.speed(), 2);
  QTest::keyClick(r.form1.get(), Qt::Key_4);
  QElapsedTimer took;
  took.start();
  ASSERT_TRUE(QTest::qWaitFor([&] { return r.player.ended(); }, 5000));
  EXPECT_LT(took.elapsed(), 6100) << "6.1 s of play, faster than the wall clock";

  // The next replay starts at 1x again, and where its file says its game
  // begins: the 4 s before it are run unseen.
  ASSERT_EQ(r.start(recording(6000, "# replay-from 4100\n")), "");
  EXPECT_EQ(r.player.speed(), 1);
  EXPECT_GE(r.player.replayedTime(), 4100);
  EXPECT_FALSE(r.player.ended());
}

TEST(ReplayPlayer, BeforePlayTheHandheldAppearsForTheReplayAndGoesAfter) {
  // As `cantiere --replay` starts: the launcher up, the handheld never shown.
  ReplayRig r(false);
  ASSERT_FALSE(r.form1->isVisible());
  ASSERT_EQ(r.start(recording(100)), "");
  EXPECT_TRUE(r.form1->isVisible());
  EXPECT_FALSE(r.splash->isVisible());
  // Shaped as the open case the replay shows (the closed one is 300 high),
  // and on the screen.
  EXPECT_EQ(r.form1->size(), QSize(464, 571));
  EXPECT_GT(r.form1->mask().boundingRect().height(), 500);
  EXPECT_TRUE(QGuiApplication::primaryScreen()->availableGeometry().contains(r.form1->geometry()));

  QTest::keyClick(r.form1.get(), Qt::Key_Escape);
  ASSERT_TRUE(QTest::qWaitFor([&] { return !r.player.active(); }, 2000));
  r.expectHandheldAsItWas();
  EXPECT_FALSE(r.form1->isVisible()) << "PLAY shows it where it belongs";
  EXPECT_TRUE(r.splash->isVisible());
}

TEST(ReplayPlayer, ALongFileIsCheckedWhileTheWindowAnswersAndCanBeGivenUp) {
  ReplayRig r;
  const std::string text = recording(100) + std::string(5000000, '\n');
  int turns = 0;  // of the event loop while the check runs
  QTimer loop;
  loop.callOnTimeout([&] { ++turns; });
  loop.start(0);
  ASSERT_EQ(r.start(text), "");
  EXPECT_GT(turns, 2);
  r.player.stop();

  std::vector<int> progress;
  r.player.progressed = [&](int permille) {
    progress.push_back(permille);
    r.player.cancel();
  };
  r.player.start("long.sim", text);
  ASSERT_TRUE(QTest::qWaitFor([&] { return !progress.empty(); }, 5000));
  EXPECT_GT(progress[0], 0);
  EXPECT_LT(progress[0], 1000);
  QTest::qWait(300);
  EXPECT_FALSE(r.player.checking());
  EXPECT_EQ(r.verdicts.size(), 1) << "a check given up says nothing";
  r.expectHandheldAsItWas();
}

TEST(ReplayPlayer, ALineThatCannotBeRunAfterAllIsSaidOnce) {
  ReplayRig r;
  r.player.startUnchecked("broken.sim",
                          "play 2\nclick Im_Front\nwait 10\nwait soon\nwait 10\nwait x\n");
  ASSERT_TRUE(QTest::qWaitFor([&] { return r.player.ended() && !r.problems.empty(); }, 5000));
  QTest::qWait(100);
  ASSERT_EQ(r.problems.size(), 1);
  EXPECT_TRUE(r.problems[0].contains("broken.sim: line 4: wait needs"))
      << r.problems[0].toStdString();
  EXPECT_TRUE(r.form1->windowTitle().contains("ended"));
}

}  // namespace
}  // namespace cantiere::test
