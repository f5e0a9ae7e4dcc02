// SPDX-License-Identifier: GPL-3.0-or-later
// cantiere: the handheld on the desktop. The program's own start-up makes the
// windows through DesktopWindows, with real sound, settings and time.
#include <unistd.h>

#include <QApplication>
#include <filesystem>
#include <iostream>

#include "frontend/command_line.h"
#include "frontend/data_folder.h"
#include "frontend/display_check.h"
#include "frontend/picture_set.h"
#include "frontend/desktop_windows.h"
#include "core/launcher/program.h"
#include "frontend/ini_settings.h"
#include "frontend/event_clock.h"
#include "frontend/gamepad_input.h"
#include "frontend/input_recorder.h"
#include "frontend/qt_desktop.h"
#include "frontend/replay_menu.h"
#include "frontend/replay_player.h"
#include "frontend/scripted_gamepads.h"
#include "frontend/sdl_output.h"
#include "frontend/time_anchor.h"

namespace {

using namespace cantiere;

// The handheld places and drags its own borderless window, which a Wayland
// session does not allow a program to do; XWayland does.
void preferX11OnWayland() {
  const QByteArray asked = qgetenv("QT_QPA_PLATFORM");
  if (!asked.isEmpty() && !asked.startsWith("wayland")) return;  // a choice of its own stands
  if (qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") || qEnvironmentVariableIsEmpty("DISPLAY")) return;
  qputenv("QT_QPA_PLATFORM", "xcb");
}

// The data folder: the one named, which must be one, or the one found. The
// folder the program was started from is never used for it.
std::optional<std::string> dataFolder(const CommandLine& options) {
  if (options.data) {
    if (isDataFolder(*options.data)) return *options.data;
    std::cerr << "cantiere: --data \"" << *options.data << "\" is not a folder holding SOUND/\n";
    return std::nullopt;
  }
  if (const auto found = findDataFolder(programFolder())) return found;
  std::cerr << "cantiere: no data folder found beside the program or where it is installed; "
               "it starts without sounds and documents (--data DIR names one)\n";
  return "/";  // holds no SOUND/ nor documents, and only the system can write there
}

}  // namespace

int main(int argc, char** argv) {
  preferX11OnWayland();
  SdlOutput::prepareProcess();
  CommandLine options;
  if (const auto status = parseCommandLine(argc, argv, options, std::cout, std::cerr)) return *status;
  // Named before the working folder changes.
  const auto absolute = [](const std::string& path) {
    return path.empty() ? QString() : QString::fromStdString(std::filesystem::absolute(path).string());
  };
  const QString replayFile = absolute(options.replay);
  const QString recordFile = absolute(options.record);

  // Sounds and documents are named relative to the working folder, as a
  // desktop shortcut's "start in" folder makes them.
  const auto data = dataFolder(options);
  if (!data) return 2;
  if (::chdir(data->c_str()) != 0) {
    std::cerr << "cantiere: cannot work in " << *data << '\n';
    return 2;
  }

  if (const auto problem = displayProblem(options.platform, options.display)) {
    std::cerr << noDisplayMessage(*problem) << '\n';
    return kNoDisplayStatus;
  }
  guardWindowSystemStart(options.platform, options.display);
  QApplication app(argc, argv);
  releaseWindowSystemStart();
  QCoreApplication::setApplicationName(QString::fromUtf8(kApplicationTitle));
  QApplication::setWindowIcon(builtInIcon());
  // The handheld's close ends the program, through the model.
  app.setQuitOnLastWindowClosed(false);

  enableDetectableAutoRepeat();

  Scheduler scheduler;
  EventClock clock(scheduler);
  AnchoredTimeOfDay time(scheduler);
  SdlOutput output;
  Sound sound(output);
  IniSettings settings;
  QtDesktop desktop;
  Program program(HandheldServices{scheduler, time, sound, settings, desktop});

  // Every input and every anchor of the time of day is kept, so a game can
  // be saved and replayed exactly.
  InputRecorder recorder(program, time, desktop);
  TimeAnchor anchor(time);
  anchor.anchored = [&](const WallTime& wall) { recorder.anchored(scheduler.now(), wall); };
  anchor.take();
  clock.onCaughtUp([&] { anchor.check(); });
  clock.onInstant([&] { recorder.afterTicks(scheduler.now()); });

  const PictureSet pictures = builtInPictures();
  DesktopWindows windows(program, clock, desktop, pictures);
  windows.input.setRecorder(&recorder);
  // At virtual time 0, the instant of the first anchor, as a replay starts.
  program.start(windows);
  recorder.started();
  clock.rearm();

  ReplayPlayer player(windows, clock, program, sound, output);
  ReplayMenu replays(windows, clock, recorder, player);
  GamepadInput gamepads(program, windows.input, windows.handheld.get());
  const auto testPads = ScriptedGamepads::fromEnvironment(
      gamepads, clock, scheduler, program.form1.surface, windows.handheld.get());
  if (!replayFile.isEmpty()) replays.replayAtStart(replayFile);

  const int status = app.exec();
  if (!recordFile.isEmpty() && !replays.writeSession(recordFile)) return 1;
  return status;
}
