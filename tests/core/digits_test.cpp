// SPDX-License-Identifier: GPL-3.0-or-later
// Scores, the clock and the alarm time on the four digit positions.
#include "tests/core/test_support.h"

namespace cantiere::test {
namespace {

class Digits : public ::testing::Test {
 protected:
  void SetUp() override { rig.openCase(); }
  std::string show(std::int32_t n) {
    value = n;
    rig.h.Trasforma_Score(value);
    return rig.digits();
  }
  Rig rig;
  std::int32_t value = 0;
};

TEST_F(Digits, ScoresHaveNoLeadingZeros) {
  EXPECT_EQ(show(0), "---0");
  EXPECT_EQ(show(9), "---9");
  EXPECT_EQ(show(10), "--10");
  EXPECT_EQ(show(42), "--42");
  EXPECT_EQ(show(99), "--99");
  EXPECT_EQ(show(100), "-100");
  EXPECT_EQ(show(305), "-305");
  EXPECT_EQ(show(999), "-999");
}

TEST_F(Digits, OutOfRangeValuesAreClampedAndShownClamped) {
  EXPECT_EQ(show(1000), "-999");
  EXPECT_EQ(value, 999);
  EXPECT_EQ(show(123456), "-999");
  EXPECT_EQ(show(-5), "---0");
  EXPECT_EQ(value, 0);
  EXPECT_EQ(rig.h.tables.outOfRangeReads(), 0);
}

// The extra life belongs to scoring (a jump or a bonus reaching 300 during a
// game, see the player and bonus tests); showing 300 alone, a high score say,
// never gives it.
TEST_F(Digits, ShowingThreeHundredIsNotScoringIt) {
  show(300);
  EXPECT_FALSE(rig.h.timerEnabled(Timer_Chance));
  rig.g.GameRunning = true;
  EXPECT_EQ(show(300), "-300");
  EXPECT_FALSE(rig.h.timerEnabled(Timer_Chance));
}

struct ClockCase {
  int hour, minute;
  bool pm;
  const char* digits;
};

TEST_F(Digits, ClockShowsTwelveHourTime) {
  const ClockCase cases[] = {{0, 5, false, "1205"},  {9, 30, false, "-930"},
                             {11, 59, false, "1159"}, {12, 0, true, "1200"},
                             {13, 7, true, "-107"},   {22, 45, true, "1045"},
                             {0, 59, false, "1259"},  {12, 59, true, "1259"}};
  for (const ClockCase& c : cases) {
    rig.time.hour = c.hour;
    rig.time.minute = c.minute;
    rig.h.TimerClockTimer();
    EXPECT_EQ(rig.digits(), c.digits) << c.hour << ":" << c.minute;
    EXPECT_EQ(rig.lit(Im_TimePM), c.pm);
    EXPECT_EQ(rig.lit(Im_TimeAM), !c.pm);
  }
}

TEST_F(Digits, ClockStartedAtOneMillisecondDrawsAtOnceThenEverySecond) {
  rig.h.Puls_TimeMouseDown(MouseButton::Left);
  rig.h.Puls_TimeMouseUp(MouseButton::Left);
  rig.time.hour = 9;
  rig.time.minute = 5;
  rig.wait(1);
  EXPECT_EQ(rig.digits(), "-905");
  EXPECT_EQ(rig.h.timerInterval(TimerClock), 1000u);
  rig.time.minute = 6;
  rig.wait(999);
  EXPECT_EQ(rig.digits(), "-905");
  rig.wait(1);  // 1001: a second after the first drawing
  EXPECT_EQ(rig.digits(), "-906");
}

TEST_F(Digits, AlarmTimeIsTwelvePm) {
  rig.time.hour = 9;
  rig.time.minute = 31;
  rig.h.TimerClockTimer();
  ASSERT_EQ(rig.digits(), "-931");
  rig.h.Puls_TimeMouseDown(MouseButton::Left);
  EXPECT_EQ(rig.digits(), "1200");
  EXPECT_TRUE(rig.lit(Im_TimePM));
  EXPECT_TRUE(rig.lit(Im_TimePP));
  EXPECT_FALSE(rig.lit(Im_TimeAM));
}

}  // namespace
}  // namespace cantiere::test
