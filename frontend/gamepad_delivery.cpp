#include "frontend/gamepad_delivery.h"

#include "core/handheld/pointer.h"

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

bool reachable(const Surface& surface, Element e) {
  const Rect& r = info(e).rect;
  return hitTest(surface, r.left + r.width / 2, r.top + r.height / 2) == e;
}

}  // namespace

void GamepadDelivery::press(HandheldInput i) {
  if (i == HandheldInput::None) return;
  bool& pressed = pressed_[static_cast<int>(i)];
  if (const int key = keyOf(i)) {
    pressed = true;
    program_.keyDown(key);
    return;
  }
  const Element button = buttonOf(i);
  if (pressed || !reachable(program_.form1.surface, button)) return;
  pressed = true;
  pushCaseButton(program_.form1, button, true);
}

void GamepadDelivery::release(HandheldInput i) {
  if (i == HandheldInput::None) return;
  bool& pressed = pressed_[static_cast<int>(i)];
  if (!pressed) return;
  pressed = false;
  if (const int key = keyOf(i)) {
    program_.keyUp(key);
  } else {
    pushCaseButton(program_.form1, buttonOf(i), false);
  }
}

}  // namespace cantiere
