// SPDX-License-Identifier: GPL-3.0-or-later
// cantiere: the handheld on the desktop. The program's own start-up makes the
// windows through DesktopWindows, with real sound, settings and time.
#include <unistd.h>

#include <QApplication>
#include <QFile>
#include <filesystem>
#include <iostream>

#include "frontend/app/command_line.h"
#include "frontend/app/data_folder.h"
#include "frontend/x11/display_check.h"
#include "frontend/pictures/picture_set.h"
#include "frontend/app/desktop_windows.h"
#include "core/launcher/program.h"
#include "common/files/ini_settings.h"
#include "common/clock/event_clock.h"
#include "frontend/clock/qt_clock_host.h"
#include "frontend/input/gamepad_input.h"
#include "frontend/windows/high_score_notice.h"
#include "common/replay/input_recorder.h"
#include "frontend/app/orderly_end.h"
#include "frontend/app/qt_desktop.h"
#include "frontend/replay/replay_menu.h"
#include "frontend/replay/replay_player.h"
#include "frontend/input/scripted_gamepads.h"
#include "frontend/sound/sdl_output.h"
#include "frontend/x11/x11_input.h"
#include "frontend/x11/fixed_size_hints.h"
#include "common/clock/time_anchor.h"

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

// Qt names files by UTF-8 text: other bytes would become another name.
bool qtCanName(const std::string& path) {
  const QByteArray bytes = QByteArray::fromStdString(path);
  return QFile::encodeName(QFile::decodeName(bytes)) == bytes;
}

// The program; `endedBy` is the signal that ended it, if one did.
int run(int argc, char** argv, int& endedBy) {
  preferX11OnWayland();
  SdlOutput::prepareProcess();
  CommandLine options;
  if (const auto status = parseCommandLine(argc, argv, options, std::cout, std::cerr)) return *status;
  // Named before the working folder changes. The session is written by its
  // bytes, as given; the replay is read through Qt, which must name it.
  const auto absolute = [](const std::string& path) {
    return path.empty() ? std::string() : std::filesystem::absolute(path).string();
  };
  const std::string recordFile = absolute(options.record);
  // The folder it was started from counts too, for a relative name.
  const std::string replayPath = absolute(options.replay);
  const QString replayFile = QFile::decodeName(QByteArray::fromStdString(replayPath));
  if (!qtCanName(replayPath)) {
    std::cerr << "cantiere: --replay \"" << options.replay
              << "\": a path that is not UTF-8 cannot be read; "
                 "rename it or link to the file\n";
    return 2;
  }

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
  // The icon is set by DesktopWindows, before any window is made.
  // The handheld's close ends the program, through the model.
  app.setQuitOnLastWindowClosed(false);

  enableDetectableAutoRepeat();
  x11::keepFixedSizesExact();

  Scheduler scheduler;
  QtClockHost loop;
  EventClock clock(scheduler, loop);
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
  anchor.follow(clock);
  clock.onDue([&](Millis due) { recorder.beforeTicks(due); });
  clock.onInstant([&] { recorder.afterTicks(scheduler.now()); });

  const PictureSet pictures = builtInPictures();
  DesktopWindows windows(program, clock, desktop, pictures);
  windows.input.setRecorder(&recorder);
  // At virtual time 0, the instant of the first anchor, as a replay starts.
  program.start(windows);
  recorder.started();
  clock.rearm();

  const ReplayStage stage = windows.replayStage();
  ReplayPlayer player(stage, clock, program, sound, output);
  ReplayMenu replays(stage, clock, recorder, player);
  GamepadInput gamepads(program, windows.input, windows.handheld.get(),
                        QStringLiteral("/dev/input"), GamepadInput::Start::WhenShown);
  const auto testPads = ScriptedGamepads::fromEnvironment(
      gamepads, clock, scheduler, program.form1.surface, windows.handheld.get());
  if (!replayFile.isEmpty()) replays.replayAtStart(replayFile);
  // Said at once on standard error, and in a box once the game is over.
  HighScoreNotice notice(settings, clock, program.form1.state, windows.handheld.get());

  // Exit, a signal or the X server going away: the session and the
  // settings are written all the same.
  bool recordLost = false;
  OrderlyEnd ending([&] {
    if (!recordFile.empty() && !replays.writeSession(recordFile)) recordLost = true;
    settings.close();
  });
  const int status = app.exec();
  ending.finish();
  endedBy = ending.signal();
  return recordLost ? 1 : status;
}

}  // namespace

int main(int argc, char** argv) {
  int endedBy = 0;
  const int status = run(argc, argv, endedBy);
  // A session that could not be written ends with its failure, else the
  // program dies of the signal it was ended by, as if it had not caught it.
  if (endedBy && status == 0) cantiere::OrderlyEnd::dieOf(endedBy);
  return status;
}
