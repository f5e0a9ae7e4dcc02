// SPDX-License-Identifier: GPL-3.0-or-later
// Game controllers on the desktop program's windows, driven by SDL's
// virtual controllers: every control reaches the game as the keyboard or
// the mouse would, the stick's hysteresis in SDL's own units, hot-plug in
// both directions, two pads at once, and no timer reading SDL.
#include <QFile>
#include <QTemporaryDir>
#include <SDL.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "frontend/input/device_wake.h"
#include "frontend/input/gamepad_input.h"
#include "frontend/input/virtual_gamepad.h"
#include "tests/frontend/desktop_rig.h"

namespace cantiere::test {
namespace {

using In = HandheldInput;

class GamepadTest : public ::testing::Test {
 protected:
  DesktopRig rig;
  QTemporaryDir devices;  // stands for /dev/input
  std::unique_ptr<GamepadInput> pads =
      std::make_unique<GamepadInput>(rig.program, rig.windows.input, rig.form1.get(), devices.path());
  Handheld& h = rig.program.form1;
  GameState& g = rig.g;

  std::unique_ptr<VirtualGamepad> plugIn() {
    auto pad = std::make_unique<VirtualGamepad>();
    EXPECT_TRUE(pad->attached());
    pads->pump();
    return pad;
  }
  void button(VirtualGamepad& pad, const char* name, bool down) {
    ASSERT_TRUE(pad.button(name, down)) << name;
    pads->pump();
  }
  void axis(VirtualGamepad& pad, const char* name, int value) {
    ASSERT_TRUE(pad.axis(name, value)) << name;
    pads->pump();
  }
  void openCase() {
    rig.play(2);
    rig.click(DesktopRig::centre(Im_Front));
  }
  // A game with the game tick stopped and an empty field, so only the pad
  // moves anything; the player standing on a cell with control.
  void place(int col, int row) {
    if (!g.GameRunning) {
      openCase();
      rig.click(DesktopRig::centre(Puls_GameA));
    }
    h.Blocca_Timers();
    for (int c = 1; c <= 6; ++c)
      for (int r = 1; r <= 7; ++r) h.surface.hide(h.tables.BarrelSeg(c, r));
    for (int c = 2; c <= 6; ++c) h.surface.hide(h.tables.BeamSeg(c));
    for (Element jump : {Im_Omino27J, Im_Omino57J, Im_Omino46J, Im_Omino56J}) h.surface.hide(jump);
    test::placePlayer(h, col, row);
  }
};

// A virtual pad has no device node: its driver reads SDL after each change.
TEST_F(GamepadTest, NoTimerReadsSdlWithOrWithoutAController) {
  ASSERT_TRUE(pads->available());
  EXPECT_EQ(pads->controllers(), 0);
  EXPECT_FALSE(pads->polling());
  auto pad = plugIn();
  EXPECT_EQ(pads->controllers(), 1);
  EXPECT_FALSE(pads->polling());
  EXPECT_EQ(pads->watched(), 0);
  pad->detach();
  pads->pump();
  EXPECT_EQ(pads->controllers(), 0);
}

// A FIFO stands for a pad's device node.
TEST(DeviceWake, InputWakesAtMostOnceAGapAndAnEndStopsTheWatch) {
  QTemporaryDir dir;
  const QByteArray node = QFile::encodeName(dir.filePath(QStringLiteral("event3")));
  ASSERT_EQ(mkfifo(node.constData(), 0600), 0);
  int wakes = 0;
  QElapsedTimer clock;
  clock.start();
  std::vector<qint64> wokeAt;
  DeviceWake wake(QString::fromLocal8Bit(node), [&] {
    ++wakes;
    wokeAt.push_back(clock.elapsed());
  }, 400);
  ASSERT_TRUE(wake.watching());
  const int writer = ::open(node.constData(), O_WRONLY | O_NONBLOCK);
  ASSERT_GE(writer, 0);
  QTest::qWait(30);
  EXPECT_EQ(wakes, 0) << "woken with nothing to read";
  const std::string burst(6000, 'e');  // more than one read takes
  ASSERT_EQ(::write(writer, burst.data(), burst.size()), static_cast<ssize_t>(burst.size()));
  EXPECT_TRUE(QTest::qWaitFor([&] { return wakes == 1; }, 1000));
  QTest::qWait(500);
  EXPECT_EQ(wakes, 1) << "input already read woke it again";
  ASSERT_EQ(::write(writer, "c", 1), 1);
  EXPECT_TRUE(QTest::qWaitFor([&] { return wakes == 2; }, 1000));
  ASSERT_EQ(::write(writer, "d", 1), 1);
  EXPECT_TRUE(QTest::qWaitFor([&] { return wakes == 3; }, 2000)) << "input in the gap was lost";
  ASSERT_EQ(wokeAt.size(), 3u);
  // A timer may fire a millisecond early.
  EXPECT_GE(wokeAt[2] - wokeAt[1], 399) << "woken again within the gap";
  ::close(writer);
  EXPECT_TRUE(QTest::qWaitFor([&] { return !wake.watching(); }, 1000));
  EXPECT_FALSE(DeviceWake(dir.filePath(QStringLiteral("missing")), [] {}, 200).watching());
}

// Nobody pumps here: the change in the device folder must.
TEST_F(GamepadTest, ANewDeviceInTheFolderIsFoundWithoutPolling) {
  VirtualGamepad pad;
  QFile node(devices.filePath(QStringLiteral("event7")));
  ASSERT_TRUE(node.open(QIODevice::WriteOnly));
  EXPECT_TRUE(QTest::qWaitFor([&] { return pads->controllers() == 1; }, 2000));
}

TEST_F(GamepadTest, EachDirectionOfTheDpadAndTheStickWalksOrClimbs) {
  struct Case {
    const char* control;  // a D-pad button, or a stick axis with its value
    int value;
    int fromCol, fromRow, toCol, toRow;
  };
  const Case cases[] = {
      {"dpleft", 0, 4, 7, 3, 7},       {"dpright", 0, 4, 7, 5, 7},
      {"dpup", 0, 6, 7, 6, 6},         {"dpdown", 0, 6, 6, 6, 7},
      {"leftx", -20000, 4, 6, 3, 6},   {"leftx", 20000, 4, 6, 5, 6},
      {"lefty", -20000, 2, 6, 2, 5},   {"lefty", 20000, 2, 5, 2, 6},
  };
  auto pad = plugIn();
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.control) + " " + std::to_string(c.value));
    place(c.fromCol, c.fromRow);
    if (c.value == 0) {
      button(*pad, c.control, true);
    } else {
      axis(*pad, c.control, c.value);
    }
    EXPECT_EQ(std::make_pair(g.OminoCol, g.OminoRow), std::make_pair(c.toCol, c.toRow));
    EXPECT_TRUE(g.KeyHeld);
    if (c.value == 0) {
      button(*pad, c.control, false);
    } else {
      axis(*pad, c.control, 0);
    }
    EXPECT_FALSE(g.KeyHeld) << "the key did not go up";
  }
}

TEST_F(GamepadTest, SouthAndEastJumpWestAndTheShouldersDoNothing) {
  auto pad = plugIn();
  for (const char* jump : {"a", "b"}) {
    SCOPED_TRACE(jump);
    place(2, 7);
    button(*pad, jump, true);
    EXPECT_TRUE(rig.lit(Im_Omino27J));
    EXPECT_FALSE(rig.lit(Puls_Jump)) << "the jump button shows pressed while held";
    button(*pad, jump, false);
    EXPECT_TRUE(rig.lit(Puls_Jump));
  }
  place(2, 7);
  for (const char* idle : {"x", "leftshoulder", "rightshoulder", "leftstick", "guide"}) {
    button(*pad, idle, true);
    button(*pad, idle, false);
    axis(*pad, "rightx", 30000);
    axis(*pad, "righttrigger", 32767);
  }
  EXPECT_TRUE(rig.lit(Im_Omino27));
  EXPECT_FALSE(g.KeyHeld) << "an unmapped control reached the game as a key";
}

TEST_F(GamepadTest, StartBackAndNorthPressTheCaseButtons) {
  auto pad = plugIn();
  openCase();
  g.HiScoreA = 42;
  button(*pad, "start", true);
  EXPECT_FALSE(rig.lit(Puls_GameA));
  EXPECT_TRUE(rig.lit(Im_GameA));
  EXPECT_FALSE(g.GameRunning);
  button(*pad, "start", false);
  EXPECT_TRUE(rig.lit(Puls_GameA));
  EXPECT_EQ(g.GameMode, ModeGameA);
  EXPECT_TRUE(g.GameRunning);

  rig.click(DesktopRig::centre(Puls_ACL));
  button(*pad, "back", true);
  EXPECT_FALSE(rig.lit(Puls_GameB));
  EXPECT_EQ(g.DropRange, 1);
  button(*pad, "back", false);
  EXPECT_EQ(g.GameMode, ModeGameB);

  rig.click(DesktopRig::centre(Puls_ACL));
  button(*pad, "y", true);  // held: the alarm time
  EXPECT_FALSE(rig.lit(Puls_Time));
  EXPECT_TRUE(rig.lit(Im_TimePM));
  button(*pad, "y", false);
  EXPECT_TRUE(rig.lit(Puls_Time));
  EXPECT_EQ(g.GameMode, ModeClock);
}

// As the mouse: a closed case has no buttons, and a button held by the
// mouse is not there to press.
TEST_F(GamepadTest, StartPressesOnlyAButtonThePointerCouldReach) {
  auto pad = plugIn();
  rig.play(2);
  button(*pad, "start", true);
  button(*pad, "start", false);
  EXPECT_TRUE(rig.lit(Im_Front)) << "the closed case opened";
  EXPECT_FALSE(rig.lit(Im_GameA)) << "Game A was pressed on the closed case";

  rig.click(DesktopRig::centre(Im_Front));
  QTest::mousePress(rig.form1.get(), Qt::LeftButton, {}, DesktopRig::centre(Puls_GameA));
  button(*pad, "start", true);
  button(*pad, "start", false);
  EXPECT_FALSE(g.GameRunning) << "the pad let go of the mouse's button";
  QTest::mouseRelease(rig.form1.get(), Qt::LeftButton, {}, DesktopRig::centre(Puls_GameA));
  EXPECT_TRUE(g.GameRunning);
}

// Held past half the travel, a resting stick between 35 % and 50 % keeps
// the key down; only under 35 % does it go up.
TEST_F(GamepadTest, TheStickKeepsItsKeyDownBetweenTheThresholds) {
  auto pad = plugIn();
  const GamepadMap& map = pads->map();
  axis(*pad, "leftx", 16000);
  EXPECT_FALSE(map.held(In::Right));
  axis(*pad, "leftx", 16500);
  EXPECT_TRUE(map.held(In::Right));
  axis(*pad, "leftx", 11600);
  EXPECT_TRUE(map.held(In::Right));
  axis(*pad, "leftx", 11400);
  EXPECT_FALSE(map.held(In::Right));
  axis(*pad, "lefty", -16500);
  axis(*pad, "leftx", -12000);
  EXPECT_TRUE(map.held(In::Up));
  EXPECT_FALSE(map.held(In::Left)) << "a diagonal pressed two keys";
}

TEST_F(GamepadTest, UnpluggingLetsGoOfWhatThePadHeld) {
  auto pad = plugIn();
  openCase();
  button(*pad, "start", true);
  ASSERT_FALSE(rig.lit(Puls_GameA));
  pad->detach();
  pads->pump();
  EXPECT_TRUE(rig.lit(Puls_GameA));
  EXPECT_TRUE(g.GameRunning) << "the release of Game A did not come";

  auto second = plugIn();
  place(4, 7);
  button(*second, "a", true);
  axis(*second, "leftx", 30000);
  ASSERT_FALSE(rig.lit(Puls_Jump));
  second->detach();
  pads->pump();
  EXPECT_TRUE(rig.lit(Puls_Jump));
  EXPECT_FALSE(g.KeyHeld);
  EXPECT_FALSE(pads->map().held(In::Right));
}

TEST_F(GamepadTest, TwoPadsPlayAtOnceAsOneState) {
  auto one = plugIn();
  auto two = plugIn();
  EXPECT_EQ(pads->controllers(), 2);
  place(4, 7);
  button(*one, "dpleft", true);
  button(*one, "dpleft", false);
  button(*two, "dpright", true);
  button(*two, "dpright", false);
  EXPECT_EQ(g.OminoCol, 4) << "one pad did not play";

  button(*one, "a", true);
  button(*two, "b", true);
  button(*one, "a", false);
  EXPECT_FALSE(rig.lit(Puls_Jump)) << "the jump key went up while the other pad held it";
  two->detach();
  pads->pump();
  EXPECT_TRUE(rig.lit(Puls_Jump));
}

// A held direction acts again only when the game's 330 ms guard has ended,
// and stops when let go.
TEST_F(GamepadTest, AHeldDirectionWalksAtTheGamesPace) {
  auto pad = plugIn();
  place(2, 7);
  button(*pad, "dpright", true);
  // Measured on the model's own clock: a desktop timer started beside it
  // reads up to a millisecond apart, as the two round at different moments.
  const Millis pressedAt = rig.clock.scheduler().now();
  EXPECT_EQ(g.OminoCol, 3);
  EXPECT_TRUE(QTest::qWaitFor([&] { return g.OminoCol == 4; }, 1500))
      << "a held pad did not repeat";
  EXPECT_GE(rig.clock.scheduler().now() - pressedAt, 330);
  button(*pad, "dpright", false);
  QTest::qWait(450);
  EXPECT_EQ(g.OminoCol, 4) << "it walked on after the pad was let go";
}

// A replay stops the handheld's clock while it borrows the window.
TEST_F(GamepadTest, NothingReachesAHiddenOrBorrowedHandheldButALetGo) {
  auto pad = plugIn();
  place(4, 7);
  rig.clock.pause();
  button(*pad, "dpright", true);
  button(*pad, "dpright", false);
  rig.clock.resume();
  EXPECT_EQ(g.OminoCol, 4);
  EXPECT_FALSE(g.KeyHeld);

  button(*pad, "a", true);
  rig.clock.pause();
  button(*pad, "a", false);
  rig.clock.resume();
  EXPECT_TRUE(rig.lit(Puls_Jump)) << "a key held when the replay began stayed down";

  rig.form1->hide();
  button(*pad, "dpleft", true);
  button(*pad, "dpleft", false);
  EXPECT_EQ(g.OminoCol, 4);
  EXPECT_FALSE(g.KeyHeld);
}

// A joystick SDL has no mapping for plays only once SDL_GAMECONTROLLERCONFIG
// names it. SDL reads the variable as its joystick subsystem starts.
TEST(GamepadConfig, TheEnvironmentsMappingMakesAJoystickAController) {
  DesktopRig rig;
  char guid[33] = {};
  {
    VirtualGamepad bare("Cantiere bare pad", false);
    ASSERT_TRUE(bare.attached());
    GamepadInput pads(rig.program, rig.windows.input, rig.form1.get(), QDir::tempPath());
    EXPECT_EQ(pads.controllers(), 0);
    for (int i = 0; i < SDL_NumJoysticks(); ++i) {
      if (SDL_JoystickGetDeviceInstanceID(i) == bare.instance())
        SDL_JoystickGetGUIDString(SDL_JoystickGetDeviceGUID(i), guid, sizeof guid);
    }
  }
  ASSERT_EQ(SDL_WasInit(SDL_INIT_JOYSTICK), 0u) << "SDL would not read the variable again";
  const std::string mapping =
      std::string(guid) + ",Cantiere bare pad,dpright:b14,platform:Linux,";
  qputenv("SDL_GAMECONTROLLERCONFIG", mapping.c_str());
  VirtualGamepad bare("Cantiere bare pad", false);
  GamepadInput pads(rig.program, rig.windows.input, rig.form1.get(), QDir::tempPath());
  qunsetenv("SDL_GAMECONTROLLERCONFIG");
  EXPECT_EQ(pads.controllers(), 1);
  bare.button("dpright", true);
  pads.pump();
  EXPECT_TRUE(pads.map().held(In::Right));
}

}  // namespace
}  // namespace cantiere::test
