// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/input/gamepad_delivery.h"

namespace cantiere {
namespace {

int keyOf(HandheldInput i) {
  switch (i) {
    case HandheldInput::Left: return VkLeft;
    case HandheldInput::Up: return VkUp;
    case HandheldInput::Right: return VkRight;
    case HandheldInput::Down: return VkDown;
    case HandheldInput::Jump: return VkCtrl;
    default: return 0;
  }
}

Element buttonOf(HandheldInput i) {
  switch (i) {
    case HandheldInput::GameA: return Puls_GameA;
    case HandheldInput::GameB: return Puls_GameB;
    case HandheldInput::Time: return Puls_Time;
    default: return NoElement;
  }
}

struct At {
  int x, y;
};

At centreOf(Element e) {
  const Rect& r = info(e).rect;
  return {r.left + r.width / 2, r.top + r.height / 2};
}

}  // namespace

void GamepadDelivery::press(HandheldInput i) {
  if (i == HandheldInput::None) return;
  bool& pressed = pressed_[static_cast<int>(i)];
  if (const int key = keyOf(i)) {
    pressed = true;
    input_.deliver({ModelInput::key(true, key)});
    return;
  }
  const Element button = buttonOf(i);
  const At at = centreOf(button);
  const Pointer& pointer = program_.pointer;
  if (pressed || pointer.captured() != NoElement ||
      hitTest(program_.form1.surface, at.x, at.y) != button)
    return;
  input_.deliver({ModelInput::press(at.x, at.y, MouseButton::Left)});
  pressed = pointer.captured() == button;
}

void GamepadDelivery::release(HandheldInput i) {
  if (i == HandheldInput::None) return;
  bool& pressed = pressed_[static_cast<int>(i)];
  if (!pressed) return;
  pressed = false;
  if (const int key = keyOf(i)) {
    input_.deliver({ModelInput::key(false, key)});
    return;
  }
  // The mouse may have let go of it meanwhile (a press of its own ends any
  // press held): then there is nothing left to release.
  const Pointer& pointer = program_.pointer;
  if (pointer.captured() == buttonOf(i) && pointer.heldButton() == MouseButton::Left)
    input_.deliver({ModelInput::release(MouseButton::Left)});
}

}  // namespace cantiere
