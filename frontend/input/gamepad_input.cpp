// SPDX-License-Identifier: GPL-3.0-or-later
#include "frontend/input/gamepad_input.h"

#include <SDL.h>

#include <QEvent>
#include <QFileInfo>
#include <algorithm>
#include <array>
#include <cstdio>
#include <functional>
#include <optional>
#include <set>
#include <string>

namespace cantiere {
namespace {

// A new device node appears before the system has finished with it (its
// permissions, SDL's own notice of it): SDL is read again at these waits
// after a change, in milliseconds, each counted from the one before.
constexpr std::array<int, 4> kSettle = {100, 300, 600, 1500};

std::optional<PadButton> padButtonOf(Uint8 button) {
  switch (button) {
    case SDL_CONTROLLER_BUTTON_A: return PadButton::South;
    case SDL_CONTROLLER_BUTTON_B: return PadButton::East;
    case SDL_CONTROLLER_BUTTON_X: return PadButton::West;
    case SDL_CONTROLLER_BUTTON_Y: return PadButton::North;
    case SDL_CONTROLLER_BUTTON_BACK: return PadButton::Back;
    case SDL_CONTROLLER_BUTTON_GUIDE: return PadButton::Guide;
    case SDL_CONTROLLER_BUTTON_START: return PadButton::Start;
    case SDL_CONTROLLER_BUTTON_LEFTSTICK: return PadButton::LeftStick;
    case SDL_CONTROLLER_BUTTON_RIGHTSTICK: return PadButton::RightStick;
    case SDL_CONTROLLER_BUTTON_LEFTSHOULDER: return PadButton::LeftShoulder;
    case SDL_CONTROLLER_BUTTON_RIGHTSHOULDER: return PadButton::RightShoulder;
    case SDL_CONTROLLER_BUTTON_DPAD_UP: return PadButton::DpadUp;
    case SDL_CONTROLLER_BUTTON_DPAD_DOWN: return PadButton::DpadDown;
    case SDL_CONTROLLER_BUTTON_DPAD_LEFT: return PadButton::DpadLeft;
    case SDL_CONTROLLER_BUTTON_DPAD_RIGHT: return PadButton::DpadRight;
    default: return std::nullopt;
  }
}

// Calls `shown` as the widget it watches first shows, once.
class FirstShow : public QObject {
 public:
  FirstShow(QWidget* widget, std::function<void()> shown) : shown_(std::move(shown)) {
    widget->installEventFilter(this);
  }

  bool eventFilter(QObject* watched, QEvent* e) override {
    if (e->type() == QEvent::Show) {
      watched->removeEventFilter(this);
      shown_();
    }
    return false;
  }

 private:
  std::function<void()> shown_;
};

}  // namespace

GamepadInput::GamepadInput(const Program& program, ModelInput& input, QWidget* window,
                           const QString& deviceFolder, Start start)
    : input_(input),
      window_(window),
      deviceFolder_(deviceFolder),
      delivery_(program, input),
      map_([this](HandheldInput input, bool down) { changed(input, down); }) {
  poll_.setInterval(kPollInterval);
  QObject::connect(&poll_, &QTimer::timeout, &poll_, [this] { pump(); });
  settle_.setSingleShot(true);
  QObject::connect(&settle_, &QTimer::timeout, &settle_, [this] {
    pump();
    if (++settleStep_ < static_cast<int>(kSettle.size())) settle_.start(kSettle[settleStep_]);
  });
  repeat_.setTimerType(Qt::PreciseTimer);
  QObject::connect(&repeat_, &QTimer::timeout, &repeat_, [this] { repeat(); });
  if (start == Start::WhenShown && window && !window->isVisible()) {
    firstShow_ = std::make_unique<FirstShow>(window, [this] { this->start(); });
  } else {
    this->start();
  }
}

void GamepadInput::start() {
  // SDL would otherwise take over SIGINT and SIGTERM.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  // Buttons by place, not by label: on a Nintendo pad too, the north face
  // button is Time.
  SDL_SetHint(SDL_HINT_GAMECONTROLLER_USE_BUTTON_LABELS, "0");
  if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) {
    std::fprintf(stderr, "cantiere: game controllers are not available: %s\n", SDL_GetError());
    return;
  }
  available_ = true;
  watchDevices();
  pump();  // the controllers connected already
}

GamepadInput::~GamepadInput() {
  // The program is ending: nothing is handed to the model any more.
  for (Controller& c : open_) {
    c.wake.reset();
    SDL_GameControllerClose(c.controller);
  }
  open_.clear();
  if (available_) SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
}

void GamepadInput::watchDevices() {
  QObject::connect(&watcher_, &QFileSystemWatcher::directoryChanged, &watcher_,
                   [this](const QString&) { devicesChanged(); });
  // Without the folder (no input device at all yet), its parent tells when
  // it appears.
  const QFileInfo folder(deviceFolder_);
  watcher_.addPath(folder.isDir() ? folder.absoluteFilePath() : folder.absolutePath());
}

void GamepadInput::devicesChanged() {
  const QFileInfo folder(deviceFolder_);
  if (folder.isDir() && !watcher_.directories().contains(folder.absoluteFilePath())) {
    watcher_.removePaths(watcher_.directories());
    watcher_.addPath(folder.absoluteFilePath());
  }
  pump();
  settleStep_ = 0;
  settle_.start(kSettle[0]);
}

void GamepadInput::pump() {
  if (!available_) return;
  SDL_PumpEvents();
  SDL_Event e;
  while (SDL_PeepEvents(&e, 1, SDL_GETEVENT, SDL_JOYDEVICEADDED, SDL_JOYDEVICEADDED) > 0) {
    if (SDL_IsGameController(e.jdevice.which)) continue;
    // Said once per name: the one hint a person needs to make it play.
    static std::set<std::string> told;
    const char* name = SDL_JoystickNameForIndex(e.jdevice.which);
    if (told.insert(name ? name : "").second)
      std::fprintf(stderr,
                   "cantiere: the joystick \"%s\" has no game-controller mapping; "
                   "SDL_GAMECONTROLLERCONFIG can give it one\n",
                   name ? name : "");
  }
  while (SDL_PeepEvents(&e, 1, SDL_GETEVENT, SDL_CONTROLLERAXISMOTION,
                        SDL_CONTROLLERDEVICEREMAPPED) > 0)
    handle(e);
  // Nobody else reads SDL's queue: what is left (joystick, audio) goes.
  SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
  // A watched node that went while its controller stays is read on a timer.
  updatePolling();
}

void GamepadInput::handle(const SDL_Event& e) {
  const auto known = [this](int instance) {
    return std::any_of(open_.begin(), open_.end(),
                       [instance](const Controller& c) { return c.instance == instance; });
  };
  switch (e.type) {
    case SDL_CONTROLLERDEVICEADDED: open(e.cdevice.which); break;
    case SDL_CONTROLLERDEVICEREMOVED: close(e.cdevice.which); break;
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP:
      if (!known(e.cbutton.which)) break;
      if (const auto b = padButtonOf(e.cbutton.button))
        map_.button(e.cbutton.which, *b, e.type == SDL_CONTROLLERBUTTONDOWN);
      break;
    case SDL_CONTROLLERAXISMOTION:
      if (!known(e.caxis.which)) break;
      if (e.caxis.axis == SDL_CONTROLLER_AXIS_LEFTX) {
        map_.axis(e.caxis.which, PadAxis::LeftX, e.caxis.value);
      } else if (e.caxis.axis == SDL_CONTROLLER_AXIS_LEFTY) {
        map_.axis(e.caxis.which, PadAxis::LeftY, e.caxis.value);
      }
      break;
    default: break;
  }
}

void GamepadInput::open(int deviceIndex) {
  SDL_GameController* controller = SDL_GameControllerOpen(deviceIndex);
  if (!controller) return;
  const int instance = SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(controller));
  const auto same = [instance](const Controller& c) { return c.instance == instance; };
  if (std::any_of(open_.begin(), open_.end(), same)) {
    SDL_GameControllerClose(controller);  // SDL counts the opens
    return;
  }
  Controller& c = open_.emplace_back(
      Controller{instance, controller, SDL_JoystickIsVirtual(deviceIndex) == SDL_TRUE, nullptr});
  const char* path = SDL_GameControllerPath(controller);
  // SDL is read after the wake returns: the reading may close the
  // controller, and its DeviceWake with it.
  const auto wake = [this] {
    QMetaObject::invokeMethod(&poll_, [this] { pump(); }, Qt::QueuedConnection);
  };
  if (!c.isVirtual && path) c.wake = std::make_unique<DeviceWake>(path, wake, kPollInterval);
  updatePolling();
}

int GamepadInput::watched() const {
  return static_cast<int>(std::count_if(open_.begin(), open_.end(), [](const Controller& c) {
    return c.wake && c.wake->watching();
  }));
}

void GamepadInput::updatePolling() {
  const bool blind = std::any_of(open_.begin(), open_.end(), [](const Controller& c) {
    return !c.isVirtual && !(c.wake && c.wake->watching());
  });
  if (blind && !poll_.isActive()) poll_.start();
  if (!blind) poll_.stop();
}

void GamepadInput::close(int instance) {
  map_.removed(instance);
  const auto it = std::find_if(open_.begin(), open_.end(),
                               [instance](const Controller& c) { return c.instance == instance; });
  if (it != open_.end()) {
    SDL_GameControllerClose(it->controller);
    open_.erase(it);
  }
  updatePolling();
}

void GamepadInput::changed(HandheldInput input, bool down) {
  if (down) {
    if (!playing()) return;
    delivery_.press(input);
    if (isDirection(input) && delivery_.pressed(input)) repeat_.start(kRepeatDelay);
    return;
  }
  // Always, so that nothing stays held, even once the window is gone.
  delivery_.release(input);
  if (map_.repeating() == HandheldInput::None) repeat_.stop();
}

void GamepadInput::repeat() {
  const HandheldInput held = map_.repeating();
  if (held == HandheldInput::None) {
    repeat_.stop();
    return;
  }
  if (repeat_.interval() != kRepeatInterval) repeat_.setInterval(kRepeatInterval);
  if (playing() && delivery_.pressed(held)) delivery_.press(held);
}

}  // namespace cantiere
