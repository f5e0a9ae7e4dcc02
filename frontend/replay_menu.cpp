// SPDX-License-Identifier: GPL-3.0-or-later
#include "frontend/replay_menu.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QMessageBox>
#include <QStandardPaths>
#include <QTimer>
#include <cstdio>

#include "frontend/desktop_windows.h"
#include "frontend/file_replace.h"
#include "frontend/input_recorder.h"
#include "frontend/replay_player.h"

namespace cantiere {
namespace {

constexpr const char* kFilter = "Cantiere games (*.sim);;All files (*)";

// Written aside, flushed and renamed: a failed save (a full disk) never
// leaves half a file nor an empty one in place of an earlier one.
bool writeFile(const QString& path, const std::string& text, QString& error) {
  const std::string why = writeWholeFile(QFile::encodeName(path).toStdString(), text);
  if (why.empty()) return true;
  error = QStringLiteral("Cannot write %1: %2").arg(path, QString::fromLocal8Bit(why.c_str()));
  return false;
}

}  // namespace

ReplayMenu::ReplayMenu(DesktopWindows& windows, EventClock& clock, InputRecorder& recorder,
                       ReplayPlayer& player)
    : windows_(windows), clock_(clock), recorder_(recorder), player_(player) {
  folder_ = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  if (folder_.isEmpty() || !QFileInfo(folder_).isDir()) folder_ = QDir::homePath();

  // After the handheld's own entries.
  QMenu& menu = windows_.handheld->menu();
  menu.addSeparator();
  QAction* save = menu.addAction(QStringLiteral("Save last game..."));
  QAction* replay = menu.addAction(QStringLiteral("Replay a game..."));
  connect(save, &QAction::triggered, this, [this] { chooseAndSave(); });
  connect(replay, &QAction::triggered, this, [this] { chooseAndReplay(); });
  connect(&menu, &QMenu::aboutToShow, this, [this, save] { save->setEnabled(recorder_.hasGame()); });
}

void ReplayMenu::tell(const QString& text, bool problem) {
  // Over the launcher while it is the window on screen, else the handheld.
  QWidget* owner = windows_.launcher && windows_.launcher->isVisible()
                       ? static_cast<QWidget*>(windows_.launcher.get())
                       : windows_.handheld.get();
  QMessageBox box(problem ? QMessageBox::Warning : QMessageBox::Information,
                  QString::fromUtf8(kApplicationTitle), text, QMessageBox::Ok, owner);
  box.exec();
}

QString ReplayMenu::saveLastGame(const QString& path) {
  if (!recorder_.hasGame()) return QStringLiteral("No game has been played yet.");
  InputRecorder::Saved saved;
  clock_.run([&] { saved = recorder_.lastGame(clock_.scheduler().now()); });
  QString error;
  if (!writeFile(path, saved.text, error)) return error;
  if (saved.check.outcome != RecordingCheck::Outcome::Matches)
    return QStringLiteral("%1 was saved, but its replay does not end as the game did: %2")
        .arg(path, QString::fromStdString(describe(saved.check)));
  return {};
}

void ReplayMenu::chooseAndSave() {
  if (!recorder_.hasGame()) {
    tell(QStringLiteral("No game has been played yet."), false);
    return;
  }
  const QString name = QStringLiteral("cantiere-game-%1.sim")
                           .arg(QDateTime::currentDateTime().toString("yyyy-MM-dd-HHmm"));
  const QString path = QFileDialog::getSaveFileName(
      windows_.handheld.get(), QStringLiteral("Save last game"), QDir(folder_).filePath(name),
      QString::fromUtf8(kFilter));
  if (path.isEmpty()) return;
  folder_ = QFileInfo(path).absolutePath();
  const QString problem = saveLastGame(path);
  if (!problem.isEmpty()) tell(problem, true);
}

bool ReplayMenu::replay(const QString& path) {
  QFile file(path);
  QString error;
  if (!file.open(QIODevice::ReadOnly)) {
    error = QStringLiteral("Cannot read %1: %2").arg(path, file.errorString());
  } else if (file.size() > kLargestFile) {
    error = QStringLiteral("%1 is too large to be a recording.").arg(path);
  } else {
    const QByteArray bytes = file.read(kLargestFile + 1);
    QString why;
    if (player_.start(QFileInfo(path).fileName(), bytes.toStdString(), why)) return true;
    error = QStringLiteral("Cannot replay %1:\n%2").arg(path, why);
  }
  tell(error, true);
  return false;
}

void ReplayMenu::chooseAndReplay() {
  const QString path =
      QFileDialog::getOpenFileName(windows_.handheld.get(), QStringLiteral("Replay a game"),
                                   folder_, QString::fromUtf8(kFilter));
  if (path.isEmpty()) return;
  folder_ = QFileInfo(path).absolutePath();
  replay(path);
}

void ReplayMenu::replayAtStart(const QString& path) {
  // The first activation shows the launcher; the replay waits for it, so
  // nothing comes to the front over the replay.
  auto* wait = new QTimer(this);
  wait->setInterval(20);
  connect(wait, &QTimer::timeout, this, [this, wait, path] {
    if (windows_.handheld && !windows_.program().form1.FirstActivate) {
      wait->deleteLater();
      wait->stop();
      replay(path);
    }
  });
  wait->start();
}

bool ReplayMenu::writeSession(const std::string& path) {
  const std::string why = writeWholeFile(path, recorder_.session(clock_.scheduler().now()));
  if (why.empty()) return true;
  std::fprintf(stderr, "cantiere: Cannot write %s: %s\n", path.c_str(), why.c_str());
  return false;
}

}  // namespace cantiere
