// SPDX-License-Identifier: GPL-3.0-or-later
// A controller's inputs reach the handheld as the keyboard's and the mouse's
// own commands, on the event clock and through the recorder, so a saved game
// holds them as it holds a person's keys and clicks.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "common/clock/event_clock.h"
#include "common/input/gamepad_delivery.h"
#include "common/replay/input_recorder.h"
#include "tests/common/virtual_clock_host.h"
#include "tests/core/test_support.h"

namespace cantiere {
namespace {

constexpr std::int64_t kNoon = 12 * 3600000;

// An open handheld fed by a controller, recorded as the desktop records it.
struct PadRig : test::AnchoredProgram {
  PadRig() {
    time.set(kNoon, 0);
    recorder.anchored(0, {kNoon, 0});
    program.start();
    recorder.started();
    input.setRecorder(&recorder);
    input.deliver({ModelInput::play(2)});
    loop.runUntil(300);
    const Rect& front = info(Im_Front).rect;
    const int x = front.left + front.width / 2, y = front.top + front.height / 2;
    input.deliver({ModelInput::press(x, y, MouseButton::Left)});
    input.deliver({ModelInput::release(MouseButton::Left)});
    loop.runUntil(600);
  }
  // The inputs the recorder kept since the rig was set up, one a line.
  std::string kept() {
    std::istringstream lines(recorder.session(scheduler.now()));
    std::string out;
    int seen = 0;
    for (std::string l; std::getline(lines, l);) {
      if (l.empty() || l[0] == '#' || l.rfind("wait", 0) == 0 || l.rfind("timeofday", 0) == 0)
        continue;
      if (++seen > 3) out += l + "\n";  // after the set-up's play, press and release
    }
    return out;
  }

  test::VirtualClockHost loop;
  EventClock clock{scheduler, loop};
  ModelInput input{program, clock};
  InputRecorder recorder{program, time, desktop};
  GamepadDelivery pad{program, input};
};

TEST(GamepadDelivery, DirectionsAndJumpAreTheirKeysPressedAndLetGo) {
  const struct {
    HandheldInput input;
    const char* key;
  } cases[] = {{HandheldInput::Left, "left"},
               {HandheldInput::Up, "up"},
               {HandheldInput::Right, "right"},
               {HandheldInput::Down, "down"},
               {HandheldInput::Jump, "ctrl"}};
  for (const auto& c : cases) {
    PadRig r;
    r.pad.release(c.input);  // nothing held: nothing to let go
    r.pad.press(c.input);
    EXPECT_TRUE(r.pad.pressed(c.input)) << c.key;
    r.pad.press(c.input);  // a held key repeats
    r.pad.release(c.input);
    EXPECT_FALSE(r.pad.pressed(c.input)) << c.key;
    r.pad.release(c.input);
    const std::string down = std::string("keydown ") + c.key + "\n";
    EXPECT_EQ(r.kept(), down + down + "keyup " + c.key + "\n");
  }
}

TEST(GamepadDelivery, GameAIsALeftPressOnItsButtonAndTheRecorderSeesTheGameBegin) {
  PadRig r;
  const Rect& b = info(Puls_GameA).rect;
  r.pad.press(HandheldInput::GameA);
  EXPECT_TRUE(r.pad.pressed(HandheldInput::GameA));
  r.pad.press(HandheldInput::GameB);  // the pointer holds Game A: nothing else is pressed
  EXPECT_FALSE(r.pad.pressed(HandheldInput::GameB));
  r.loop.runUntil(720);
  r.pad.release(HandheldInput::GameB);
  r.pad.release(HandheldInput::GameA);
  EXPECT_TRUE(r.program.form1.state.GameRunning);
  EXPECT_TRUE(r.recorder.gameRunning()) << "told at the input, before any tick";
  EXPECT_EQ(r.kept(), "press " + std::to_string(b.left + b.width / 2) + " " +
                          std::to_string(b.top + b.height / 2) + "\nrelease left\n");
}

}  // namespace
}  // namespace cantiere
