// SPDX-License-Identifier: GPL-3.0-or-later
// The case, dragging, the buttons and the pointer's routing of mouse events.
#include <limits>

#include "core/handheld/pointer.h"
#include "tests/core/test_support.h"

namespace cantiere::test {
namespace {

class Shell : public ::testing::Test {
 protected:
  void SetUp() override {
    rig.program.start();
    rig.program.splash.CB_SoundChange(0);
    rig.program.splash.Puls_PlayClick();  // placed for 1024 x 768
  }
  Rig rig;
  Pointer& pointer = rig.program.pointer;
};

TEST_F(Shell, OpeningTheLidGrowsTheWindowUpwardsAndLightsEverything) {
  ASSERT_EQ(rig.h.window().top, 369);
  pointer.press(100, 100, MouseButton::Left);
  pointer.release(MouseButton::Left);
  EXPECT_EQ(rig.h.window().height, 571);
  EXPECT_EQ(rig.h.window().top, 98);
  EXPECT_EQ(rig.h.window().left, 280);
  EXPECT_FALSE(rig.lit(Im_Front));
  for (Element e : {Im_Base, Puls_GameA, Puls_GameB, Puls_Time, Puls_Jump, Puls_ACL, Puls_Alarm,
                    Puls_Cross1, Puls_Cross2, Im_Schermo1Top, Im_Schermo2Top, Im_Bar46})
    EXPECT_TRUE(rig.lit(e)) << nameOf(e);
  EXPECT_EQ(rig.digits(), "1200");
  EXPECT_EQ(rig.g.GameMode, ModeAllLit);
  EXPECT_FALSE(rig.h.timerEnabled(TimerClock));
}

// A drag in any direction, or along one axis only, moves the window under a
// pointer that stays where it took hold, and is no click.
TEST_F(Shell, DraggingMovesTheWindowAndIsNoClick) {
  struct Drag {
    int dx, dy;
  };
  pointer.move(10, 20);  // no button held: nothing moves, the pointer is followed
  EXPECT_EQ(pointer.x(), 10);
  EXPECT_EQ(pointer.y(), 20);
  pointer.press(50, 60, MouseButton::Right);  // and so is a press
  EXPECT_EQ(pointer.x(), 50);
  EXPECT_EQ(pointer.y(), 60);
  pointer.release(MouseButton::Right);
  EXPECT_EQ(rig.h.window().left, 280);
  for (const Drag& d : {Drag{30, -10}, Drag{25, 0}, Drag{0, 40}}) {
    const WindowGeometry start = rig.h.window();
    pointer.press(100, 100, MouseButton::Left);
    pointer.move(100 + d.dx, 100 + d.dy);
    EXPECT_EQ(rig.h.window().left, start.left + d.dx);
    EXPECT_EQ(rig.h.window().top, start.top + d.dy);
    EXPECT_EQ(pointer.x(), 100) << d.dx << "," << d.dy;
    EXPECT_EQ(pointer.y(), 100) << d.dx << "," << d.dy;
    pointer.release(MouseButton::Left);
    EXPECT_TRUE(rig.lit(Im_Front)) << "a drag of the closed case must not open it: " << d.dx
                                   << "," << d.dy;
    EXPECT_EQ(rig.h.DragX, 100);
    EXPECT_EQ(rig.h.DragY, 100);
  }
}

TEST_F(Shell, NoPointerPositionOverflowsADrag) {
  constexpr int kMax = std::numeric_limits<int>::max(), kMin = std::numeric_limits<int>::min();
  pointer.press(5, 5, MouseButton::Left);
  pointer.move(kMax, kMax);
  EXPECT_EQ(rig.h.window().left, 280 + kPointerRange - 5);
  EXPECT_EQ(rig.h.window().top, 369 + kPointerRange - 5);
  // However often it is dragged on, the window stops at the far limit.
  for (int i = 0; i < 3000; ++i) pointer.move(i % 2 ? kMin : kMax, kMax);
  EXPECT_EQ(rig.h.window().top, kWindowRange);
  pointer.release(MouseButton::Left);
  pointer.press(kMin, kMin, MouseButton::Left);
  pointer.release(MouseButton::Left);
  rig.h.Im_FrontClick();
  pointer.press(20, 20, MouseButton::Left);
  for (int i = 0; i < 3000; ++i) pointer.move(kMin, kMin);
  EXPECT_EQ(rig.h.window().left, -kWindowRange);
  EXPECT_EQ(rig.h.window().top, -kWindowRange);
}

TEST_F(Shell, OnlyTheLeftButtonDragsOrClicks) {
  pointer.press(100, 100, MouseButton::Right);
  pointer.move(150, 150);
  pointer.release(MouseButton::Right);
  EXPECT_EQ(rig.h.window().left, 280);
  EXPECT_TRUE(rig.lit(Im_Front));
}

TEST_F(Shell, APressOnTheScreensDragsThroughTheOverlay) {
  rig.h.Im_FrontClick();
  const Rect bar = info(Im_Bar46).rect;
  EXPECT_EQ(hitTest(rig.h.surface, bar.left + 1, bar.top + 1), Im_Schermo2Top);
  pointer.press(bar.left + 1, bar.top + 1, MouseButton::Left);
  pointer.move(bar.left + 6, bar.top + 1);
  EXPECT_EQ(rig.h.window().left, 285);
  pointer.release(MouseButton::Left);
}

TEST_F(Shell, HitTestTakesTheTopmostShownElementOverItsWholeRectangle) {
  EXPECT_EQ(hitTest(rig.h.surface, 60, 290), Im_Front);  // closed: the cross pad is below 300
  rig.h.Im_FrontClick();
  EXPECT_EQ(hitTest(rig.h.surface, 63, 484), Puls_Cross2);  // both arms: the later one
  EXPECT_EQ(hitTest(rig.h.surface, 425, 376), Puls_ACL);    // no picture, still takes the mouse
  EXPECT_EQ(hitTest(rig.h.surface, 5, 540), Im_Base);       // glyph sources are hidden
  struct Hint {
    Element e;
    const char* text;
    bool help;
  };
  const Hint hints[] = {
      {Im_Front, "Click to open", false},
      {Puls_GameA, "Click to start Game A (hold to view hiscore)", false},
      {Puls_GameB, "Click to start Game B (hold to view hiscore)", false},
      {Puls_Time, "Click to view current time (hold to view alarm time)", false},
      {Puls_ACL, "Click to reset game", false},
      {Puls_Jump, "Use 'CTRL' key to jump", true},
      {Puls_Alarm, "Button disabled", true},
      {Puls_Cross1, "Use arrow keys to move", true},
      {Puls_Cross2, "Use arrow keys to move", true}};
  for (const Hint& h : hints) {
    ASSERT_NE(hintOf(h.e), nullptr) << nameOf(h.e);
    EXPECT_STREQ(hintOf(h.e)->text, h.text);
    EXPECT_EQ(hintOf(h.e)->helpCursor, h.help) << nameOf(h.e);
  }
  EXPECT_EQ(hintOf(Im_Bar46), nullptr);
}

TEST_F(Shell, ReleaseGoesToThePressedElementWherever) {
  rig.h.Im_FrontClick();
  const Rect a = info(Puls_GameA).rect;
  pointer.press(a.left + 5, a.top + 5, MouseButton::Left);
  EXPECT_FALSE(rig.lit(Puls_GameA));
  pointer.move(10, 10);
  pointer.release(MouseButton::Left);
  EXPECT_TRUE(rig.lit(Puls_GameA));
  EXPECT_TRUE(rig.g.GameRunning);
  EXPECT_EQ(rig.h.window().left, 280) << "a button press drags nothing";
}

class Buttons : public Shell {
 protected:
  void SetUp() override {
    Shell::SetUp();
    rig.h.Im_FrontClick();
  }
};

TEST_F(Buttons, WrongMouseButtonsChangeNothing) {
  const auto before = rig.litNames();
  for (MouseButton b : {MouseButton::Right, MouseButton::Middle}) {
    rig.h.Puls_GameAMouseDown(b);
    rig.h.Puls_GameBMouseDown(b);
    rig.h.Puls_TimeMouseDown(b);
    rig.h.Puls_ACLMouseDown(b);
    rig.h.Puls_GameAMouseUp(b);
    rig.h.Puls_GameBMouseUp(b);
    rig.h.Puls_TimeMouseUp(b);
    rig.h.Puls_ACLMouseUp(b);
  }
  EXPECT_EQ(rig.litNames(), before);
  EXPECT_FALSE(rig.g.GameRunning);
}

TEST_F(Buttons, HoldingAGameButtonShowsItsHighScoreOverTheStartingPicture) {
  rig.g.HiScoreB = 57;
  rig.g.DropRange = 15;
  rig.h.surface.show(Im_TimePM);  // as the clock leaves it in the afternoon
  rig.h.Puls_GameBMouseDown(MouseButton::Left);
  EXPECT_FALSE(rig.lit(Puls_GameB));
  EXPECT_EQ(rig.digits(), "--57");
  EXPECT_TRUE(rig.lit(Im_GameB));
  EXPECT_FALSE(rig.lit(Im_GameA));
  EXPECT_FALSE(rig.lit(Im_TimeAM));
  EXPECT_FALSE(rig.lit(Im_TimePM));
  EXPECT_FALSE(rig.lit(Im_TimePP));
  EXPECT_TRUE(rig.lit(Im_Orco6Up));
  EXPECT_EQ(rig.g.KeysLeft, 4);
  EXPECT_EQ(rig.g.DropRange, 1) << "Game B sets its forced launch at the press";
  EXPECT_FALSE(rig.g.GameRunning);

  rig.h.Puls_GameBMouseUp(MouseButton::Left);
  EXPECT_TRUE(rig.lit(Puls_GameB));
  EXPECT_EQ(rig.digits(), "---0");
  EXPECT_TRUE(rig.g.GameRunning);
  EXPECT_EQ(rig.g.GameMode, ModeGameB);
  EXPECT_EQ(rig.g.Lives, 3);
  EXPECT_EQ(rig.g.DropRange, 1);
  EXPECT_TRUE(rig.h.timerEnabled(TimerGioco));
  EXPECT_EQ(rig.h.timerInterval(TimerGioco), 500u);
}

TEST_F(Buttons, GameASetsItsLaunchRangeAtTheRelease) {
  rig.h.Puls_GameAMouseDown(MouseButton::Left);
  rig.g.DropRange = 4;
  rig.h.Puls_GameAMouseUp(MouseButton::Left);
  EXPECT_EQ(rig.g.DropRange, 15);
  EXPECT_EQ(rig.g.GameMode, ModeGameA);
}

TEST_F(Buttons, DuringAGameTheGameAndTimeButtonsOnlyMoveTheirPictures) {
  rig.startGame(ModeGameA);
  rig.wait(1000);
  const GameState before = rig.g;
  rig.h.Puls_GameBMouseDown(MouseButton::Left);
  EXPECT_FALSE(rig.lit(Puls_GameB));
  rig.h.Puls_GameBMouseUp(MouseButton::Left);
  rig.h.Puls_TimeMouseDown(MouseButton::Left);
  rig.h.Puls_TimeMouseUp(MouseButton::Left);
  EXPECT_EQ(rig.g.GameMode, ModeGameA);
  EXPECT_EQ(rig.g.TickCount, before.TickCount);
  EXPECT_TRUE(rig.lit(Puls_Time));
  EXPECT_TRUE(rig.lit(Im_GameA));
}

TEST_F(Buttons, TimeShowsTheAlarmWhileHeldAndTheClockAfter) {
  rig.time.hour = 15;
  rig.time.minute = 42;
  rig.h.Puls_TimeMouseDown(MouseButton::Left);
  EXPECT_FALSE(rig.lit(Im_Bar46)) << "the all-segments picture is cleared";
  EXPECT_FALSE(rig.lit(Puls_Time)) << "the pressed look";
  EXPECT_EQ(rig.digits(), "1200");
  rig.h.Puls_TimeMouseUp(MouseButton::Left);
  EXPECT_TRUE(rig.lit(Puls_Time));
  EXPECT_EQ(rig.g.GameMode, ModeClock);
  rig.wait(1);
  EXPECT_EQ(rig.digits(), "-342");
  EXPECT_TRUE(rig.lit(Im_TimePM));
  // Pressed again in clock mode: nothing is cleared first.
  rig.h.surface.show(Im_Bar46);
  rig.h.Puls_TimeMouseDown(MouseButton::Left);
  EXPECT_TRUE(rig.lit(Im_Bar46));
  EXPECT_FALSE(rig.h.timerEnabled(TimerClock));
}

TEST_F(Buttons, AclStopsEverythingAtThePressAndLightsAllAtTheRelease) {
  rig.startGame(ModeGameA);
  rig.wait(3000);
  // Double points blinking, the score darkened at this moment.
  rig.h.enableTimer(TimerBlink);
  rig.wait(500);
  ASSERT_FALSE(rig.lit(Im_NumPos2));
  rig.soundLog.clear();
  rig.h.Puls_ACLMouseDown(MouseButton::Left);
  for (int t = 0; t < TimerCount; ++t) EXPECT_FALSE(rig.h.timerEnabled(static_cast<TimerId>(t)));
  EXPECT_EQ(rig.soundLog.names(), (std::vector<std::string>{"silence"}));
  EXPECT_TRUE(rig.g.GameRunning);
  rig.h.Puls_ACLMouseUp(MouseButton::Left);
  EXPECT_FALSE(rig.g.GameRunning);
  EXPECT_FALSE(rig.g.ControlEnabled);
  EXPECT_EQ(rig.g.GameMode, ModeAllLit);
  EXPECT_TRUE(rig.lit(Im_Omino62E));
  EXPECT_EQ(rig.digits(), "1200");
  for (Element p : {Im_NumPos1, Im_NumPos2, Im_NumPos3, Im_NumPos4}) EXPECT_TRUE(rig.lit(p));
  // Also the clock stops.
  rig.h.Puls_TimeMouseDown(MouseButton::Left);
  rig.h.Puls_TimeMouseUp(MouseButton::Left);
  rig.wait(1);
  ASSERT_TRUE(rig.h.timerEnabled(TimerClock));
  rig.h.Puls_ACLMouseDown(MouseButton::Left);
  EXPECT_FALSE(rig.h.timerEnabled(TimerClock));
  rig.h.Puls_ACLMouseUp(MouseButton::Left);
  rig.wait(5000);
  EXPECT_EQ(rig.digits(), "1200");
}

TEST(Window, FirstActivationShowsTheLauncherOnce) {
  Rig rig;
  const auto shown = [&] { return std::count(rig.desktop.events.begin(), rig.desktop.events.end(), "showLauncher"); };
  // With no window to show, start-up activates the handheld itself.
  rig.program.start();
  EXPECT_EQ(shown(), 1);
  EXPECT_FALSE(rig.program.form1.FirstActivate);
  rig.h.FormActivate();
  rig.h.FormActivate();
  EXPECT_EQ(shown(), 1);
}

TEST(Window, ClosingReleasesTheSoundAndEndsTheProgram) {
  Rig rig;
  rig.program.start();  // "(no sound)" or never started: still released
  rig.h.FormClose();
  const auto& calls = rig.output.calls;
  ASSERT_EQ(calls.size(), 9u);
  for (int i = 0; i < 8; ++i) EXPECT_EQ(calls[i], "free 0");
  EXPECT_EQ(calls[8], "close");
  EXPECT_EQ(rig.desktop.events.back(), "exit");
}

}  // namespace
// The LCD elements lit beyond what the clock shows (its digits, AM, PM and
// colon) and the ladder-top barrel, which no clearing touches.
std::vector<std::string> litBesideTheClock(const Rig& rig) {
  std::vector<std::string> extra;
  for (const std::string& name : rig.litNames()) {
    const bool clockOrCase = name.rfind("Puls_", 0) == 0 || name.rfind("Im_NumPos", 0) == 0 ||
                             name.rfind("Im_Time", 0) == 0 || name.rfind("Im_Schermo", 0) == 0;
    if (!clockOrCase && name != "Im_Base" && name != "Im_Bar15") extra.push_back(name);
  }
  return extra;
}

TEST_F(Buttons, TimeHeldOverTheEndOfAGameLeavesNothingOfTheGameBesideTheClock) {
  rig.startGame(ModeGameA);
  rig.g.Lives = 1;  // the first miss ends the game
  rig.wait(10000);
  rig.h.Puls_TimeMouseDown(MouseButton::Left);  // the game runs: only the picture moves
  for (int i = 0; i < 600 && rig.g.GameRunning; ++i) rig.wait(100);
  ASSERT_FALSE(rig.g.GameRunning);
  rig.h.Puls_TimeMouseUp(MouseButton::Left);
  EXPECT_EQ(litBesideTheClock(rig), std::vector<std::string>{});
  // Pressed again in the clock, which clears nothing first.
  rig.h.Puls_TimeMouseDown(MouseButton::Left);
  rig.h.Puls_TimeMouseUp(MouseButton::Left);
  rig.wait(3600000);
  EXPECT_EQ(litBesideTheClock(rig), std::vector<std::string>{});
  EXPECT_TRUE(rig.lit(Im_TimePP));
  EXPECT_EQ(rig.g.GameMode, ModeClock);
}

TEST_F(Buttons, KeysWhileACLIsHeldStartNothingThatOutlivesTheReset) {
  rig.startPlaying();
  rig.h.Puls_ACLMouseDown(MouseButton::Left);
  rig.key(VkCtrl);  // a jump, whose timer would hand the keys back
  rig.h.Puls_ACLMouseUp(MouseButton::Left);
  for (int t = 0; t < TimerCount; ++t)
    EXPECT_FALSE(rig.h.timerEnabled(TimerId(t))) << timerName(TimerId(t));
  rig.wait(5000);
  EXPECT_FALSE(rig.g.ControlEnabled);
  rig.h.Puls_TimeMouseDown(MouseButton::Left);
  rig.h.Puls_TimeMouseUp(MouseButton::Left);
  rig.key(VkCtrl);
  rig.wait(5000);
  EXPECT_EQ(litBesideTheClock(rig), std::vector<std::string>{});
}

}  // namespace cantiere::test
