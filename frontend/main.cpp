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
#include "frontend/qt_desktop.h"
#include "frontend/sdl_output.h"

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
  options.process(app);

  // Sounds and documents are named relative to the working folder, as a
  // desktop shortcut's "start in" folder makes them.
  const QString data = options.isSet(dataOption) ? options.value(dataOption) : findDataFolder();
  if (!data.isEmpty()) QDir::setCurrent(data);

  enableDetectableAutoRepeat();

  Scheduler scheduler;
  EventClock clock(scheduler);
  SystemTimeOfDay time;
  SdlOutput output;
  Sound sound(output);
  IniSettings settings;
  QtDesktop desktop;
  Program program(HandheldServices{scheduler, time, sound, settings, desktop});

  const PictureSet pictures = PictureSet::builtIn();
  DesktopWindows windows(program, clock, desktop, pictures);
  clock.run([&] { program.start(windows); });

  return app.exec();
}
