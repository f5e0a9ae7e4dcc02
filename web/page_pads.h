// SPDX-License-Identifier: GPL-3.0-or-later
// Controllers on the page: the browser's Gamepad API pads, with the
// desktop's mapping (common's GamepadMap and GamepadDelivery), and the
// handheld's own cross pad and jump button under a finger or the mouse,
// which play as one more pad. A held direction repeats as a held key does.
#pragma once

#include <functional>

#include "common/input/gamepad_delivery.h"
#include "common/input/gamepad_map.h"

namespace cantiere {

class PagePads {
 public:
  // As the desktop's controllers repeat a held direction.
  static constexpr int kRepeatDelay = 250;
  static constexpr int kRepeatInterval = 33;
  // The pad id of the case's own cross pad and jump button.
  static constexpr PadId kCasePad = -1;

  // `playing` says whether input reaches the handheld now (shown, no
  // replay); `repeatIn` arms the repeat (a negative wait disarms it).
  PagePads(const Program& program, ModelInput& input, std::function<bool()> playing,
           std::function<void(int ms)> repeatIn);

  // A button of the Gamepad API's standard layout (its index) or a stick
  // axis (0 left x, 1 left y) as -1..1.
  void standardButton(PadId pad, int index, bool down);
  void standardAxis(PadId pad, int index, double value);
  void removed(PadId pad) { map_.removed(pad); }
  // The repeat's wake-up.
  void repeat();

  // Where on the case a finger or the left button plays the cross pad or
  // the jump button: what it holds there (None elsewhere). The areas reach
  // a little beyond the pictures, for a thumb.
  static HandheldInput caseControl(int x, int y);
  // The case's cross pad or jump button held (None lets go).
  void holdCaseControl(HandheldInput input);

  const GamepadMap& map() const { return map_; }

 private:
  void changed(HandheldInput input, bool down);

  GamepadDelivery delivery_;
  GamepadMap map_;
  std::function<bool()> playing_;
  std::function<void(int)> repeatIn_;
  bool repeating_ = false;
  HandheldInput caseHeld_ = HandheldInput::None;
};

}  // namespace cantiere
