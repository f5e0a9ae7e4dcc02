// SPDX-License-Identifier: GPL-3.0-or-later
// A game controller that lives only in this process (SDL's virtual
// joystick): the test pad of the scripted tests and of the unit tests. It
// has every button and axis of SDL's controller, set by SDL's own names.
#pragma once

struct _SDL_Joystick;

namespace cantiere {

class VirtualGamepad {
 public:
  // `selfMapped`: SDL knows it as a controller at once; otherwise it is a
  // bare joystick that only a mapping (SDL_GAMECONTROLLERCONFIG) makes one.
  explicit VirtualGamepad(const char* name = "Cantiere test pad", bool selfMapped = true);
  ~VirtualGamepad();
  VirtualGamepad(const VirtualGamepad&) = delete;
  VirtualGamepad& operator=(const VirtualGamepad&) = delete;

  bool attached() const { return joystick_ != nullptr; }
  // SDL's instance id (-1 once detached).
  int instance() const;
  // The change shows at SDL's next reading. False for an unknown name.
  bool button(const char* name, bool down);
  bool axis(const char* name, int value);
  // Unplugged, as a cable pulled out.
  void detach();

 private:
  _SDL_Joystick* joystick_ = nullptr;
};

}  // namespace cantiere
