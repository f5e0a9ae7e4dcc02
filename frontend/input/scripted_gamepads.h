// SPDX-License-Identifier: GPL-3.0-or-later
// Test pads inside the real program, for the end-to-end tests only. With
// CANTIERE_TEST_GAMEPAD=DIR in the environment the program reads commands
// from the FIFO DIR/commands (made by the test) and writes the model's
// trace to DIR/trace in the driver's format ("T +NAME", "T -NAME",
// "T digit P D"), with each command as "T pad COMMAND". Commands, one a
// line:
//   attach             a new virtual controller; they are numbered from 1
//   detach N           unplugs controller N
//   press N BUTTON     release N BUTTON     (SDL's names: a, b, y, start,
//                                            back, dpleft, dpright, ...)
//   axis N AXIS VALUE  (leftx, lefty; -32768 to 32767)
// Without the variable nothing of this exists.
#pragma once

#include <QSocketNotifier>
#include <QString>
#include <cstdio>
#include <memory>
#include <vector>

#include "core/lcd/surface.h"
#include "core/timing/scheduler.h"
#include "common/clock/event_clock.h"
#include "frontend/input/gamepad_input.h"
#include "frontend/input/virtual_gamepad.h"

namespace cantiere {

class ScriptedGamepads : public SurfaceListener {
 public:
  // nullptr unless the environment asks for test pads. `window` is the
  // surface's listener now; the trace passes every change on to it.
  static std::unique_ptr<ScriptedGamepads> fromEnvironment(GamepadInput& gamepads,
                                                           EventClock& clock,
                                                           const Scheduler& scheduler,
                                                           Surface& surface,
                                                           SurfaceListener* window);
  ScriptedGamepads(const QString& folder, GamepadInput& gamepads, EventClock& clock,
                   const Scheduler& scheduler, Surface& surface, SurfaceListener* window);
  ~ScriptedGamepads() override;
  bool ready() const { return notifier_ != nullptr && trace_ != nullptr; }

  void litChanged(Element e, bool lit) override;
  void pictureChanged(Element e) override;

 private:
  void readCommands();
  void run(const std::string& line);

  GamepadInput& gamepads_;
  EventClock& clock_;
  const Scheduler& scheduler_;
  Surface& surface_;
  SurfaceListener* window_;
  int fifo_ = -1;
  std::unique_ptr<QSocketNotifier> notifier_;
  std::FILE* trace_ = nullptr;
  std::string pending_;
  std::vector<std::unique_ptr<VirtualGamepad>> pads_;
};

}  // namespace cantiere
