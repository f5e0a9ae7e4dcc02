// SPDX-License-Identifier: GPL-3.0-or-later
// What each control of a pad gives the handheld, the stick's thresholds and
// hysteresis, and the one state merged from every holder.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "common/input/gamepad_map.h"

namespace cantiere::test {
namespace {

using In = HandheldInput;
using Edge = std::pair<In, bool>;
using Edges = std::vector<Edge>;

struct Pads {
  Edges edges;
  GamepadMap map{[this](In i, bool down) { edges.emplace_back(i, down); }};
  Edges take() { return std::exchange(edges, {}); }
};

TEST(GamepadMap, EachButtonGivesItsInputAndLetsItGo) {
  const std::pair<PadButton, In> table[] = {
      {PadButton::DpadLeft, In::Left},   {PadButton::DpadUp, In::Up},
      {PadButton::DpadRight, In::Right}, {PadButton::DpadDown, In::Down},
      {PadButton::South, In::Jump},      {PadButton::East, In::Jump},
      {PadButton::Start, In::GameA},     {PadButton::Back, In::GameB},
      {PadButton::North, In::Time},      {PadButton::West, In::None},
      {PadButton::Guide, In::None},      {PadButton::LeftStick, In::None},
      {PadButton::RightStick, In::None}, {PadButton::LeftShoulder, In::None},
      {PadButton::RightShoulder, In::None},
  };
  for (const auto& [button, input] : table) {
    SCOPED_TRACE(static_cast<int>(button));
    Pads p;
    p.map.button(1, button, true);
    p.map.button(1, button, true);  // a repeated report is no new press
    // Captured by name: a structured binding cannot be, before clang 16.
    const auto edge = [want = input](bool down) { return want == In::None ? Edges{} : Edges{{want, down}}; };
    EXPECT_EQ(p.take(), edge(true));
    EXPECT_EQ(p.map.held(input), input != In::None);
    p.map.button(1, button, false);
    EXPECT_EQ(p.take(), edge(false));
  }
}

// Pressed past half the travel (16384 of 32767), let go under 35 % (11468).
TEST(GamepadMap, StickPressesPastHalfAndLetsGoUnderThirtyFivePercent) {
  struct Step {
    PadAxis axis;
    int value;
    In held;
  };
  const Step steps[] = {
      {PadAxis::LeftX, 16383, In::None},   {PadAxis::LeftX, 16384, In::Right},
      {PadAxis::LeftX, 11469, In::Right},  {PadAxis::LeftX, 16000, In::Right},
      {PadAxis::LeftX, 11468, In::None},   {PadAxis::LeftX, 16000, In::None},
      {PadAxis::LeftX, -16383, In::None},  {PadAxis::LeftX, -16384, In::Left},
      {PadAxis::LeftX, -11469, In::Left},  {PadAxis::LeftX, -11468, In::None},
      {PadAxis::LeftX, -32768, In::Left},  {PadAxis::LeftX, 0, In::None},
      {PadAxis::LeftY, -16384, In::Up},    {PadAxis::LeftY, -11469, In::Up},
      {PadAxis::LeftY, -11468, In::None},  {PadAxis::LeftY, 32767, In::Down},
      {PadAxis::LeftY, 11469, In::Down},   {PadAxis::LeftY, 11468, In::None},
  };
  Pads p;
  for (const Step& s : steps) {
    SCOPED_TRACE(s.value);
    p.map.axis(1, s.axis, s.value);
    for (In d : {In::Left, In::Up, In::Right, In::Down}) EXPECT_EQ(p.map.held(d), d == s.held);
  }
}

TEST(GamepadMap, AStickShakingBetweenTheThresholdsNeverChatters) {
  Pads p;
  for (int v : {12000, 16000, 15000, 16300}) p.map.axis(1, PadAxis::LeftX, v);
  EXPECT_EQ(p.take(), Edges{});
  p.map.axis(1, PadAxis::LeftX, 17000);
  for (int v : {12000, 16000, 11500, 16383, 14000}) p.map.axis(1, PadAxis::LeftX, v);
  EXPECT_EQ(p.take(), (Edges{{In::Right, true}}));
}

// A held direction gives way only once the other axis is half as far
// again as its own, so the diagonal itself never flickers.
TEST(GamepadMap, DiagonalsPressTheLeadingAxisOnly) {
  Pads p;
  p.map.axis(1, PadAxis::LeftY, -10000);
  p.map.axis(1, PadAxis::LeftX, 30000);  // right, a little up
  p.map.axis(1, PadAxis::LeftY, -30000);  // the diagonal itself
  p.map.axis(1, PadAxis::LeftY, -32000);
  p.map.axis(1, PadAxis::LeftX, 22000);  // up leads, but not by half again
  EXPECT_EQ(p.take(), (Edges{{In::Right, true}}));
  p.map.axis(1, PadAxis::LeftX, 21000);
  EXPECT_EQ(p.take(), (Edges{{In::Right, false}, {In::Up, true}}));
  p.map.axis(1, PadAxis::LeftX, 30000);  // back on the diagonal
  EXPECT_EQ(p.take(), Edges{});
}

TEST(GamepadMap, AFlickAcrossLetsGoBeforeItPresses) {
  Pads p;
  p.map.axis(1, PadAxis::LeftX, 30000);
  p.map.axis(1, PadAxis::LeftX, -30000);
  EXPECT_EQ(p.take(), (Edges{{In::Right, true}, {In::Right, false}, {In::Left, true}}));
}

// Two holders of one input, on one pad or on two: one press, one release.
TEST(GamepadMap, AnInputIsUpOnlyWhenItsLastHolderLetsGo) {
  Pads p;
  p.map.button(1, PadButton::DpadRight, true);
  p.map.axis(1, PadAxis::LeftX, 20000);
  p.map.button(2, PadButton::DpadRight, true);
  p.map.button(1, PadButton::South, true);
  p.map.button(2, PadButton::East, true);
  EXPECT_EQ(p.take(), (Edges{{In::Right, true}, {In::Jump, true}}));
  p.map.button(1, PadButton::DpadRight, false);
  p.map.axis(1, PadAxis::LeftX, 0);
  p.map.button(1, PadButton::South, false);
  EXPECT_EQ(p.take(), Edges{});
  p.map.button(2, PadButton::DpadRight, false);
  p.map.button(2, PadButton::East, false);
  EXPECT_EQ(p.take(), (Edges{{In::Right, false}, {In::Jump, false}}));
}

TEST(GamepadMap, ARemovedPadLetsGoOfExactlyWhatItHeld) {
  Pads p;
  p.map.button(1, PadButton::Start, true);
  p.map.button(1, PadButton::South, true);
  p.map.axis(1, PadAxis::LeftY, 30000);
  p.map.button(2, PadButton::South, true);
  p.map.button(2, PadButton::North, true);
  p.take();
  p.map.removed(1);
  EXPECT_EQ(p.take(), (Edges{{In::GameA, false}, {In::Down, false}}));
  EXPECT_TRUE(p.map.held(In::Jump));
  EXPECT_TRUE(p.map.held(In::Time));
  p.map.removed(1);  // twice, or a pad never seen: nothing
  p.map.removed(7);
  EXPECT_EQ(p.take(), Edges{});
  // A pad plugged in again starts from nothing held.
  p.map.button(1, PadButton::Start, false);
  EXPECT_EQ(p.take(), Edges{});
}

// As a keyboard repeats its last key: the direction pressed last, and the
// one before it again once that is let go.
TEST(GamepadMap, TheLastDirectionPressedIsTheOneThatRepeats) {
  Pads p;
  EXPECT_EQ(p.map.repeating(), In::None);
  p.map.button(1, PadButton::South, true);
  EXPECT_EQ(p.map.repeating(), In::None);
  p.map.button(1, PadButton::DpadRight, true);
  p.map.axis(2, PadAxis::LeftY, -30000);
  EXPECT_EQ(p.map.repeating(), In::Up);
  p.map.button(1, PadButton::DpadUp, true);  // already held by pad 2: not newer
  EXPECT_EQ(p.map.repeating(), In::Up);
  p.map.axis(2, PadAxis::LeftY, 0);
  p.map.button(1, PadButton::DpadUp, false);
  EXPECT_EQ(p.map.repeating(), In::Right);
  p.map.button(1, PadButton::DpadRight, false);
  EXPECT_EQ(p.map.repeating(), In::None);
}

}  // namespace
}  // namespace cantiere::test
