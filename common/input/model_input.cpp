// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/input/model_input.h"

#include "common/replay/input_recorder.h"

namespace cantiere {

void ModelInput::deliver(std::initializer_list<ScriptCommand> commands) {
  clock_.run([&] {
    const Millis at = clock_.scheduler().now();
    for (const ScriptCommand& c : commands) {
      if (recorder_) recorder_->input(at, c);
      // What the desktop sends is always well formed; a refusal (a drag
      // beyond any screen) leaves the model as it was, as in the driver.
      std::string refused;
      applyInput(c, program_, refused);
      if (recorder_) recorder_->afterInput(at);
    }
  });
}

ScriptCommand ModelInput::press(int x, int y, MouseButton b) {
  ScriptCommand c;
  c.verb = Verb::Press;
  c.x = x;
  c.y = y;
  c.button = b;
  c.buttonNamed = b != MouseButton::Left;
  return c;
}

ScriptCommand ModelInput::move(int x, int y) {
  ScriptCommand c;
  c.verb = Verb::Move;
  c.x = x;
  c.y = y;
  return c;
}

ScriptCommand ModelInput::release(MouseButton b) {
  ScriptCommand c;
  c.verb = Verb::Release;
  c.button = b;
  c.buttonNamed = true;
  return c;
}

ScriptCommand ModelInput::key(bool down, int code) {
  ScriptCommand c;
  c.verb = down ? Verb::KeyDown : Verb::KeyUp;
  c.x = code;
  return c;
}

ScriptCommand ModelInput::menu(MenuEntry entry) {
  ScriptCommand c;
  c.verb = Verb::Menu;
  c.x = static_cast<int>(entry);
  return c;
}

ScriptCommand ModelInput::play(int entry) {
  ScriptCommand c;
  c.verb = Verb::Play;
  c.x = entry;
  return c;
}

}  // namespace cantiere
