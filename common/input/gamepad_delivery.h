// SPDX-License-Identifier: GPL-3.0-or-later
// A controller's inputs given to the handheld as the keyboard's and the
// mouse's own commands, through the one way the windows hand input to the
// model (applied on the event clock and recorded, so a saved game replays
// them): the arrows and Ctrl as presses and releases of their virtual-key
// codes, Game A, Game B and Time as left presses and releases of the
// pointer on the button. The game cannot tell them apart.
#pragma once

#include <array>

#include "core/launcher/program.h"
#include "common/input/gamepad_map.h"
#include "common/input/model_input.h"

namespace cantiere {

class GamepadDelivery {
 public:
  GamepadDelivery(const Program& program, ModelInput& input) : program_(program), input_(input) {}

  // A key's press, or one more as a held key repeats. A button is pressed
  // only where a click could press it (shown, on top) and while the
  // pointer holds nothing else: a closed case has no buttons to press.
  void press(HandheldInput i);
  // Only what a press reached is let go.
  void release(HandheldInput i);
  bool pressed(HandheldInput i) const { return pressed_[static_cast<int>(i)]; }

 private:
  const Program& program_;
  ModelInput& input_;
  std::array<bool, kHandheldInputs> pressed_{};
};

}  // namespace cantiere
