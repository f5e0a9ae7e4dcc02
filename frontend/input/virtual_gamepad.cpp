// SPDX-License-Identifier: GPL-3.0-or-later
#include "frontend/input/virtual_gamepad.h"

#include <SDL.h>

#include <algorithm>

namespace cantiere {

VirtualGamepad::VirtualGamepad(const char* name, bool selfMapped) {
  if (SDL_InitSubSystem(SDL_INIT_JOYSTICK) != 0) return;
  SDL_VirtualJoystickDesc desc{};
  desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
  desc.type = selfMapped ? SDL_JOYSTICK_TYPE_GAMECONTROLLER : SDL_JOYSTICK_TYPE_UNKNOWN;
  // Buttons and axes in the order of SDL's controller, which is also the
  // order of the mapping SDL makes for a self-mapped one.
  desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
  desc.naxes = SDL_CONTROLLER_AXIS_MAX;
  desc.name = name;
  if (!selfMapped) {
    // pid.codes' test id: a GUID of vendor and product, as real pads have,
    // which a mapping line can name.
    desc.vendor_id = 0x1209;
    desc.product_id = 0x0001;
  }
  const int index = SDL_JoystickAttachVirtualEx(&desc);
  if (index >= 0) joystick_ = SDL_JoystickOpen(index);
  if (!joystick_) SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
}

VirtualGamepad::~VirtualGamepad() { detach(); }

int VirtualGamepad::instance() const {
  return joystick_ ? SDL_JoystickInstanceID(joystick_) : -1;
}

bool VirtualGamepad::button(const char* name, bool down) {
  const SDL_GameControllerButton b = SDL_GameControllerGetButtonFromString(name);
  if (!joystick_ || b == SDL_CONTROLLER_BUTTON_INVALID) return false;
  return SDL_JoystickSetVirtualButton(joystick_, b, down ? 1 : 0) == 0;
}

bool VirtualGamepad::axis(const char* name, int value) {
  const SDL_GameControllerAxis a = SDL_GameControllerGetAxisFromString(name);
  if (!joystick_ || a == SDL_CONTROLLER_AXIS_INVALID) return false;
  const auto v = static_cast<Sint16>(std::clamp(value, -32768, 32767));
  return SDL_JoystickSetVirtualAxis(joystick_, a, v) == 0;
}

void VirtualGamepad::detach() {
  if (!joystick_) return;
  const SDL_JoystickID id = SDL_JoystickInstanceID(joystick_);
  SDL_JoystickClose(joystick_);
  joystick_ = nullptr;
  // Detached by device index, which the instance id leads back to.
  for (int i = 0; i < SDL_NumJoysticks(); ++i) {
    if (SDL_JoystickGetDeviceInstanceID(i) == id) {
      SDL_JoystickDetachVirtual(i);
      break;
    }
  }
  SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
}

}  // namespace cantiere
