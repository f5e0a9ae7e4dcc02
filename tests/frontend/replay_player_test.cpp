// SPDX-License-Identifier: GPL-3.0-or-later
// Replaying a recording in the handheld window: refused files leave the
// handheld alone, a replay shows the recorded end, takes no input but Esc
// and the speed keys, writes no high score, and gives the handheld back.
#include <QKeyEvent>
#include <sstream>

#include "core/script/recording_check.h"
#include "core/script/state_dump.h"
#include "frontend/replay_player.h"
#include "tests/frontend/desktop_rig.h"

namespace cantiere::test {
namespace {

// A recording of a Game B start and `ms` of play, with its final state.
std::string recording(int ms) {
  const std::string body = std::string(kRecordingVersionLine) +
                           "\n# hiscores 5 9\ntimeofday 12:34:56.789 +00:00\nplay 2\n"
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
  ReplayRig() {
    play(2);
    click(centre(Im_Front));
  }
  ReplayPlayer player{windows, clock, program, sound, output};
};

TEST(ReplayPlayer, ARefusedFileLeavesTheHandheldAsItWas) {
  ReplayRig r;
  QString error;
  EXPECT_FALSE(r.player.start("game.sim", "play 2\nclick Im_Front\n\nwait -5\n", error));
  EXPECT_TRUE(error.contains("line 4")) << error.toStdString();
  EXPECT_FALSE(r.player.active());
  EXPECT_FALSE(r.clock.paused());
  EXPECT_EQ(&r.form1->shownSurface(), &r.program.form1.surface);
  for (QAction* a : r.form1->actions()) EXPECT_TRUE(a->isEnabled());
}

TEST(ReplayPlayer, ShowsTheRecordedEndAndEscGivesTheHandheldBack) {
  ReplayRig r;
  const std::string before = state(r.program, 0);
  const std::size_t writes = r.settings.writes.size();
  const std::string text = recording(1500);
  QString error;
  ASSERT_TRUE(r.player.start("game.sim", text, error)) << error.toStdString();
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

  QTest::keyClick(r.form1.get(), Qt::Key_Escape);
  ASSERT_TRUE(QTest::qWaitFor([&] { return !r.player.active(); }, 2000));
  EXPECT_EQ(&r.form1->shownSurface(), &r.program.form1.surface);
  EXPECT_FALSE(r.clock.paused());
  EXPECT_EQ(state(r.program, 0), before);
  EXPECT_EQ(r.form1->windowTitle(), "Cantiere (Ludoria) Simulator");
  EXPECT_EQ(r.quits, 0) << "Esc ended the replay, not the program";
  for (QAction* a : r.form1->actions()) EXPECT_TRUE(a->isEnabled());
}

TEST(ReplayPlayer, PlaysAtTheWallClocksPaceOrFaster) {
  ReplayRig r;
  QString error;
  ASSERT_TRUE(r.player.start("slow.sim", recording(1500), error));
  QTest::qWait(800);
  EXPECT_FALSE(r.player.ended()) << "1.6 s of play cannot end in 0.8 s at 1x";
  r.player.stop();

  ASSERT_TRUE(r.player.start("fast.sim", recording(6000), error));
  QTest::keyClick(r.form1.get(), Qt::Key_2);
  EXPECT_EQ(r.player.speed(), 2);
  QTest::keyClick(r.form1.get(), Qt::Key_4);
  QElapsedTimer took;
  took.start();
  ASSERT_TRUE(QTest::qWaitFor([&] { return r.player.ended(); }, 5000));
  EXPECT_LT(took.elapsed(), 4000) << "6.1 s of play at 4x";
}

}  // namespace
}  // namespace cantiere::test
