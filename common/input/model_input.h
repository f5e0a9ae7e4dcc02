// SPDX-License-Identifier: GPL-3.0-or-later
// The one way the desktop's windows hand input to the model: each input is
// the script command that means the same to the driver, applied by the same
// code, on the event clock, and told to the recorder (when there is one)
// before it is applied.
#pragma once

#include <initializer_list>

#include "core/script/script_command.h"
#include "common/clock/event_clock.h"

namespace cantiere {

class InputRecorder;

class ModelInput {
 public:
  ModelInput(Program& program, EventClock& clock) : program_(program), clock_(clock) {}

  void setRecorder(InputRecorder* recorder) { recorder_ = recorder; }

  // Commands delivered together are handled at one instant, in order.
  void deliver(std::initializer_list<ScriptCommand> commands);

  static ScriptCommand press(int x, int y, MouseButton b);
  static ScriptCommand move(int x, int y);
  static ScriptCommand release(MouseButton b);
  static ScriptCommand key(bool down, int code);
  static ScriptCommand menu(MenuEntry entry);
  static ScriptCommand play(int entry);

  EventClock& clock() { return clock_; }

 private:
  Program& program_;
  EventClock& clock_;
  InputRecorder* recorder_ = nullptr;
};

}  // namespace cantiere
