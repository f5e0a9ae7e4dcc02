// cantiere: the handheld on the desktop. The program's own start-up makes the
// windows through DesktopWindows, with real sound, settings and time.
#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>

#include <cstdio>
#include <string_view>

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

#ifndef CANTIERE_DATA_FROM_BIN
#define CANTIERE_DATA_FROM_BIN "../share/cantiere"
#endif

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

// The folder holding SOUND/, readme.txt and whatsnew.txt: beside the program
// in the build tree, the installed data folder after installation.
QString findDataFolder() {
  const QDir bin(QCoreApplication::applicationDirPath());
  for (const QString& candidate :
       {bin.path(), bin.filePath(QStringLiteral(CANTIERE_DATA_FROM_BIN))}) {
    if (QFileInfo(QDir(candidate).filePath(QStringLiteral("SOUND"))).isDir())
      return QDir(candidate).canonicalPath();
  }
  return {};
}

}  // namespace

int main(int argc, char** argv) {
  // Answered before Qt looks for a display, so it works on a bare console.
  for (int i = 1; i < argc; ++i)
    if (std::string_view(argv[i]) == "--version") return std::puts("cantiere " CANTIERE_VERSION) == EOF ? 1 : 0;
  preferX11OnWayland();
  QApplication app(argc, argv);
  QCoreApplication::setApplicationName(QString::fromUtf8(kApplicationTitle));
  QApplication::setWindowIcon(builtInIcon());
  // The handheld's close ends the program, through the model.
  app.setQuitOnLastWindowClosed(false);

  QCommandLineParser options;
  options.setApplicationDescription(QStringLiteral("The Cantiere handheld on the desktop."));
  options.addHelpOption();
  // Answered above; named here so that --help lists it.
  options.addOption(QCommandLineOption(QStringLiteral("version"), QStringLiteral("Displays version information.")));
  const QCommandLineOption dataOption(
      QStringLiteral("data"), QStringLiteral("Folder holding SOUND/, readme.txt and whatsnew.txt."),
      QStringLiteral("DIR"));
  options.addOption(dataOption);
  const QCommandLineOption replayOption(
      QStringLiteral("replay"), QStringLiteral("Start by replaying a saved game."),
      QStringLiteral("FILE"));
  const QCommandLineOption recordOption(
      QStringLiteral("record"), QStringLiteral("Write the whole session to FILE at exit."),
      QStringLiteral("FILE"));
  options.addOption(replayOption);
  options.addOption(recordOption);
  options.process(app);
  // Named before the working folder changes.
  const auto absolute = [](const QString& path) { return QFileInfo(path).absoluteFilePath(); };
  const QString replayFile = options.isSet(replayOption) ? absolute(options.value(replayOption)) : QString();
  const QString recordFile = options.isSet(recordOption) ? absolute(options.value(recordOption)) : QString();

  // Sounds and documents are named relative to the working folder, as a
  // desktop shortcut's "start in" folder makes them.
  const QString data = options.isSet(dataOption) ? options.value(dataOption) : findDataFolder();
  if (!data.isEmpty()) QDir::setCurrent(data);

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

  const PictureSet pictures = PictureSet::builtIn();
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
