// SPDX-License-Identifier: GPL-3.0-or-later
// A new high score that could not be stored is told in a box, once, when
// no game runs, and nothing waits for the box. (That it leaves the keyboard
// to the handheld is seen on a real X server, by full_disk_e2e.sh: the
// offscreen platform activates every window shown.)
#include "frontend/windows/high_score_notice.h"

#include <QMessageBox>
#include <QTemporaryDir>
#include <filesystem>

#include "tests/frontend/desktop_rig.h"

namespace cantiere::test {
namespace {

TEST(HighScoreNotice, ComesOnceWhenNoGameRunsWithoutTakingTheKeyboard) {
  DesktopRig rig;
  // A timer of the test's own keeps the clock waking, as a game's would.
  const int ticker = rig.scheduler.add(
      10, [](void*) {}, nullptr);
  rig.scheduler.setEnabled(ticker, true);
  rig.clock.rearm();
  int wakes = 0;
  rig.clock.onTicks([&] { ++wakes; });
  const auto fewWakesLater = [&] {
    const int from = wakes;
    return QTest::qWaitFor([&] { return wakes >= from + 3; }, 10000);
  };
  QTemporaryDir dir;
  const std::string path = dir.filePath("Cantiere.ini").toStdString();
  std::filesystem::create_directory(path + ".lock");  // no write can take its lock
  IniSettings store(path);
  HighScoreNotice notice(store, rig.clock, rig.g, rig.splash.get());

  ::testing::internal::CaptureStderr();
  rig.g.GameRunning = true;  // a game started before the box could come
  EXPECT_EQ(store.raiseInt("HiScoreA", 4).value, 4);
  ASSERT_TRUE(fewWakesLater());
  EXPECT_EQ(notice.box(), nullptr) << "a box in the middle of a game";
  rig.g.GameRunning = false;
  ASSERT_TRUE(QTest::qWaitFor([&] { return notice.box() && notice.box()->isVisible(); }, 5000));
  const auto* box = qobject_cast<QMessageBox*>(notice.box());
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(box->text(),
            QString("The new Game A high score, 4, could not be stored in %1:\nIs a directory.\n\n"
                    "It is kept, and written at the next chance or when the program ends.")
                .arg(QString::fromStdString(path)));
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << "the box holds up the program";

  const_cast<QMessageBox*>(box)->accept();
  ASSERT_TRUE(QTest::qWaitFor([&] { return notice.box() == nullptr; }, 5000));
  EXPECT_EQ(store.raiseInt("HiScoreA", 6).value, 6);
  ASSERT_TRUE(fewWakesLater());
  EXPECT_EQ(notice.box(), nullptr) << "told twice";
  ::testing::internal::GetCapturedStderr();
}

}  // namespace
}  // namespace cantiere::test
