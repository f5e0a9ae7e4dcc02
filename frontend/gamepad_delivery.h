// A controller's inputs given to the handheld through the very calls the
// keyboard and the mouse make, so the game cannot tell them apart: the
// arrow keys and Ctrl as key presses and releases of their virtual-key
// codes, Game A, Game B and Time as left presses and releases of the case
// buttons. No toolkit.
#pragma once

#include <array>

#include "core/launcher/program.h"
#include "frontend/gamepad_map.h"

namespace cantiere {

class GamepadDelivery {
 public:
  explicit GamepadDelivery(Program& program) : program_(program) {}

  // A key's press, or one more as a held key repeats. A button is pressed
  // only where the pointer could press it (shown and on top), so a closed
  // case or a button already held by the mouse ignores it.
  void press(HandheldInput i);
  // Only what a press reached is let go, as the pointer releases only the
  // element it captured.
  void release(HandheldInput i);
  bool pressed(HandheldInput i) const { return pressed_[static_cast<int>(i)]; }

 private:
  Program& program_;
  std::array<bool, kHandheldInputs> pressed_{};
};

}  // namespace cantiere
