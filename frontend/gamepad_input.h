// Game controllers through SDL's game-controller layer (its mapping
// database and SDL_GAMECONTROLLERCONFIG), fed to the handheld through
// GamepadMap and GamepadDelivery while the handheld window is shown.
//
// No controller, no cost: SDL is read only while a controller is open.
// Without one, nothing wakes the program but a change in the device folder
// (an inotify watch), after which SDL is read a few times while the new
// device settles; a controller found then starts the reading.
#pragma once

#include <QFileSystemWatcher>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <utility>
#include <vector>

#include "core/launcher/program.h"
#include "frontend/event_clock.h"
#include "frontend/gamepad_delivery.h"
#include "frontend/gamepad_map.h"

struct _SDL_GameController;
union SDL_Event;

namespace cantiere {

class GamepadInput {
 public:
  static constexpr int kPollInterval = 10;  // ms, while a controller is open
  // A held direction repeats as a desktop keyboard repeats a held key; the
  // game's own 330 ms guard picks one repeat in ten or so.
  static constexpr int kRepeatDelay = 250;
  static constexpr int kRepeatInterval = 33;

  // Starts SDL's controller subsystem; a failure is told once on standard
  // error and leaves the program without controllers. `window` is the
  // handheld window: controllers play while it is shown.
  GamepadInput(Program& program, EventClock& clock, const QWidget* window,
               const QString& deviceFolder = QStringLiteral("/dev/input"));
  ~GamepadInput();
  GamepadInput(const GamepadInput&) = delete;
  GamepadInput& operator=(const GamepadInput&) = delete;

  bool available() const { return available_; }
  int controllers() const { return static_cast<int>(open_.size()); }
  // Whether SDL is being read on a timer (only while a controller is open).
  bool polling() const { return poll_.isActive(); }
  const GamepadMap& map() const { return map_; }

  // Reads everything SDL has to tell now.
  void pump();

 private:
  void watchDevices();
  void devicesChanged();
  void handle(const SDL_Event& e);
  void open(int deviceIndex);
  void close(int instance);
  void changed(HandheldInput input, bool down);
  void repeat();
  bool playing() const { return window_ && window_->isVisible(); }

  EventClock& clock_;
  const QWidget* window_;
  QString deviceFolder_;
  GamepadDelivery delivery_;
  GamepadMap map_;
  bool available_ = false;
  std::vector<std::pair<int, _SDL_GameController*>> open_;  // by instance id
  QFileSystemWatcher watcher_;
  QTimer poll_;
  QTimer settle_;
  int settleStep_ = 0;
  QTimer repeat_;
};

}  // namespace cantiere
