// SPDX-License-Identifier: GPL-3.0-or-later
// What a game controller means to the handheld, with no toolkit: the D-pad
// and the left stick are the arrow keys, the south and east face buttons
// are Ctrl, Start, Back and the north face button are Game A, Game B and
// Time. Each controller keeps the set of what it holds, so a removed one
// lets go of exactly that. The handheld sees one merged state, as if one
// keyboard and one mouse were used: an input goes down when its first
// holder takes it and up when its last holder lets go.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

namespace cantiere {

// Controller buttons by their place on the pad (south is A on most pads).
enum class PadButton : std::uint8_t {
  South, East, West, North,
  Back, Guide, Start,
  LeftStick, RightStick, LeftShoulder, RightShoulder,
  DpadUp, DpadDown, DpadLeft, DpadRight,
  Count,
};

// The left stick's axes; negative is left and up.
enum class PadAxis : std::uint8_t { LeftX, LeftY };

// What the handheld is given: four arrow keys, the jump key, three buttons.
enum class HandheldInput : std::uint8_t { Left, Up, Right, Down, Jump, GameA, GameB, Time, None };
inline constexpr int kHandheldInputs = static_cast<int>(HandheldInput::None);

// None for the buttons that play no part.
HandheldInput inputOf(PadButton b);
constexpr bool isDirection(HandheldInput i) { return i <= HandheldInput::Down; }

using PadId = std::int32_t;

class GamepadMap {
 public:
  using Listener = std::function<void(HandheldInput input, bool down)>;
  // Told of every change of the merged state.
  explicit GamepadMap(Listener listener) : listener_(std::move(listener)) {}

  void button(PadId pad, PadButton b, bool down);
  // `value` from -32768 to 32767.
  void axis(PadId pad, PadAxis a, int value);
  // Lets go of everything the pad held and forgets it.
  void removed(PadId pad);

  bool held(HandheldInput i) const { return holders_[index(i)] > 0; }
  // The direction a held pad repeats, as a keyboard repeats its last key:
  // the one pressed last among those still held; None when none is.
  HandheldInput repeating() const;

 private:
  static constexpr int index(HandheldInput i) { return static_cast<int>(i); }
  struct Pad {
    PadId id;
    std::array<bool, static_cast<int>(PadButton::Count)> buttons{};
    int x = 0, y = 0;
    HandheldInput stick = HandheldInput::None;
  };
  Pad& pad(PadId id);
  void steer(Pad& p);
  void take(HandheldInput i);
  void letGo(HandheldInput i);

  Listener listener_;
  std::vector<Pad> pads_;
  std::array<int, kHandheldInputs> holders_{};
  std::array<std::uint32_t, kHandheldInputs> pressOrder_{};
  std::uint32_t presses_ = 0;
};

}  // namespace cantiere
