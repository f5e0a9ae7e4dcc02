// SPDX-License-Identifier: GPL-3.0-or-later
// Game controllers through SDL's game-controller layer (its mapping
// database and SDL_GAMECONTROLLERCONFIG), fed to the handheld through
// GamepadMap and GamepadDelivery while the handheld window is shown.
//
// No input, no cost: SDL is read when something happens. Without a
// controller nothing wakes the program but a change in the device folder
// (an inotify watch), after which SDL is read a few times while the new
// device settles. With one, its device node wakes the program when the pad
// reports (DeviceWake); only a controller whose node cannot be watched is
// read on a timer. Virtual controllers change only when their driver here
// says so, and it reads SDL then.
#pragma once

#include <QFileSystemWatcher>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <memory>
#include <vector>

#include "core/launcher/program.h"
#include "frontend/input/device_wake.h"
#include "common/input/gamepad_delivery.h"
#include "common/input/gamepad_map.h"
#include "common/input/model_input.h"

struct _SDL_GameController;
union SDL_Event;

namespace cantiere {

class GamepadInput {
 public:
  // A node that cannot be watched is read as a game reads its pad, once a
  // frame at 60 Hz; a watched one wakes the program at most as often.
  static constexpr int kPollInterval = 16;
  // A held direction repeats as a desktop keyboard repeats a held key; the
  // game's own 330 ms guard picks one repeat in ten or so.
  static constexpr int kRepeatDelay = 250;
  static constexpr int kRepeatInterval = 33;

  // When SDL's controller subsystem starts: at once, or as the window first
  // shows, which spares the launcher loading SDL (controllers play only in
  // the window, and SDL reports those already connected as it starts).
  enum class Start { Now, WhenShown };

  // Starts SDL's controller subsystem; a failure is told once on standard
  // error and leaves the program without controllers. `window` is the
  // handheld window: controllers play while it is shown and its program
  // runs (not while a replay borrows it).
  GamepadInput(const Program& program, ModelInput& input, QWidget* window,
               const QString& deviceFolder = QStringLiteral("/dev/input"),
               Start start = Start::Now);
  ~GamepadInput();
  GamepadInput(const GamepadInput&) = delete;
  GamepadInput& operator=(const GamepadInput&) = delete;

  bool available() const { return available_; }
  int controllers() const { return static_cast<int>(open_.size()); }
  // Whether SDL is read on a timer (only for a node that cannot be watched).
  bool polling() const { return poll_.isActive(); }
  // Controllers whose device node wakes the program.
  int watched() const;
  const GamepadMap& map() const { return map_; }

  // Reads everything SDL has to tell now.
  void pump();

 private:
  void start();
  void watchDevices();
  void devicesChanged();
  void handle(const SDL_Event& e);
  void open(int deviceIndex);
  void close(int instance);
  void updatePolling();
  void changed(HandheldInput input, bool down);
  void repeat();
  bool playing() const {
    return window_ && window_->isVisible() && !input_.clock().paused();
  }

  ModelInput& input_;
  const QWidget* window_;
  QString deviceFolder_;
  GamepadDelivery delivery_;
  GamepadMap map_;
  bool available_ = false;
  struct Controller {
    int instance;
    _SDL_GameController* controller;
    bool isVirtual;
    std::unique_ptr<DeviceWake> wake;
  };
  std::vector<Controller> open_;
  QFileSystemWatcher watcher_;
  QTimer poll_;
  QTimer settle_;
  int settleStep_ = 0;
  QTimer repeat_;
  std::unique_ptr<QObject> firstShow_;  // watches the window until it shows
};

}  // namespace cantiere
