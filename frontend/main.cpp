// cantiere: the handheld on the desktop. Starts in the handheld's own order
// (the handheld window, the about window, the launcher), with real windows,
// sound, settings and time.
#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QTimer>

#include "frontend/picture_set.h"
#include "frontend/about_window.h"
#include "frontend/launcher_window.h"
#include "core/launcher/program.h"
#include "frontend/ini_settings.h"
#include "frontend/event_clock.h"
#include "frontend/handheld_window.h"
#include "frontend/qt_desktop.h"
#include "frontend/sdl_output.h"

#ifndef CANTIERE_DATA_FROM_BIN
#define CANTIERE_DATA_FROM_BIN "../share/cantiere"
#endif

namespace {

using namespace cantiere;

// How long a window manager may take to activate the new handheld window
// before the program does it itself (an X server without one activates
// nothing).
constexpr int kActivationWait = 150;

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
  preferX11OnWayland();
  QApplication app(argc, argv);
  QCoreApplication::setApplicationName(QString::fromUtf8(kApplicationTitle));
  // The handheld's close ends the program, through the model.
  app.setQuitOnLastWindowClosed(false);

  QCommandLineParser options;
  options.setApplicationDescription(QStringLiteral("The Cantiere handheld on the desktop."));
  options.addHelpOption();
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

  // Set before any window exists.
  program.FirstActivate = true;

  const PictureSet pictures = PictureSet::builtIn();
  HandheldWindow form1(program, clock, pictures);
  desktop.setHandheld(&form1);
  // Opens the settings and reads the high scores before the launcher reads
  // the sound mode from them.
  clock.run([&] { program.form1.FormCreate(); });

  AboutForm about;
  desktop.setAbout(&about);

  SplashForm splash(program.splash, clock);
  desktop.setLauncher(&splash);
  clock.run([&] { program.splash.FormCreate(); });
  splash.refresh();
  splash.centre();
  splash.show();

  // Off screen; its first activation brings the launcher to the front.
  form1.show();
  QTimer::singleShot(kActivationWait, &form1, [&] {
    if (program.FirstActivate) clock.run([&] { program.form1.FormActivate(); });
  });

  return app.exec();
}
