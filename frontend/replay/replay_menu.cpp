// SPDX-License-Identifier: GPL-3.0-or-later
#include "frontend/replay/replay_menu.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QMessageBox>
#include <QProgressDialog>
#include <QStandardPaths>
#include <QTimer>
#include <cstdio>
#include <cstring>

#include "frontend/windows/handheld_window.h"
#include "common/files/file_replace.h"
#include "common/replay/input_recorder.h"
#include "common/files/regular_file.h"
#include "frontend/replay/replay_player.h"

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

ReplayMenu::ReplayMenu(const ReplayStage& stage, EventClock& clock, InputRecorder& recorder,
                       ReplayPlayer& player)
    : stage_(stage), clock_(clock), recorder_(recorder), player_(player) {
  folder_ = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
  if (folder_.isEmpty() || !QFileInfo(folder_).isDir()) folder_ = QDir::homePath();

  // After the handheld's own entries.
  QMenu& menu = stage_.handheld->menu();
  menu.addSeparator();
  QAction* save = menu.addAction(QStringLiteral("Save last game..."));
  QAction* replay = menu.addAction(QStringLiteral("Replay a game..."));
  connect(save, &QAction::triggered, this, [this] { chooseAndSave(); });
  connect(replay, &QAction::triggered, this, [this] { chooseAndReplay(); });
  connect(&menu, &QMenu::aboutToShow, this, [this, save] { save->setEnabled(recorder_.hasGame()); });

  player_.progressed = [this](int permille) {
    // A modal progress bar lets the events in as it moves, the check's next
    // slice among them: that slice's progress waits for the next.
    if (!progress_ || showingProgress_) return;
    showingProgress_ = true;
    progress_->setValue(permille);
    showingProgress_ = false;
  };
  player_.checked = [this](const QString& refusal) {
    endProgress();
    if (!refusal.isEmpty())
      tell(QStringLiteral("Cannot replay %1:\n%2").arg(replaying_, refusal), true);
  };
  player_.broke = [this](const QString& problem) {
    tell(QStringLiteral("The replay stopped at %1").arg(problem), true);
  };
}

ReplayMenu::~ReplayMenu() {
  player_.checked = nullptr;
  player_.progressed = nullptr;
  player_.broke = nullptr;
}

QWidget* ReplayMenu::owner() const {
  // Over the launcher while it is the window on screen, else the handheld.
  return stage_.launcher && stage_.launcher->isVisible()
             ? static_cast<QWidget*>(stage_.launcher)
             : stage_.handheld;
}

void ReplayMenu::tell(const QString& text, bool problem) {
  QMessageBox box(problem ? QMessageBox::Warning : QMessageBox::Information,
                  QString::fromUtf8(kApplicationTitle), text, QMessageBox::Ok, owner());
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
      stage_.handheld, QStringLiteral("Save last game"), QDir(folder_).filePath(name),
      QString::fromUtf8(kFilter));
  if (path.isEmpty()) return;
  folder_ = QFileInfo(path).absolutePath();
  const QString problem = saveLastGame(path);
  if (!problem.isEmpty()) tell(problem, true);
}

bool ReplayMenu::replay(const QString& path) {
  // Only a regular file: opening a FIFO or a device could wait for ever.
  FileText file = readRegularFile(QFile::encodeName(path).toStdString(), kLargestFile);
  QString error;
  switch (file.status) {
    case FileText::Ok: break;
    case FileText::NotRegular:
      error = QStringLiteral("Cannot replay %1: only a regular file can be replayed.").arg(path);
      break;
    case FileText::TooLarge:
      error = QStringLiteral("%1 is too large to be a recording.").arg(path);
      break;
    case FileText::Missing:
    case FileText::Unreadable:
      error = QStringLiteral("Cannot read %1: %2")
                  .arg(path, QString::fromLocal8Bit(std::strerror(file.error)));
      break;
  }
  if (!error.isEmpty()) {
    tell(error, true);
    return false;
  }
  endProgress();
  replaying_ = path;
  player_.start(QFileInfo(path).fileName(), std::move(file.text));
  // A long file takes a while to check: a check that looks like taking
  // more than half a second shows how far it is, and may be given up.
  progress_ = std::make_unique<QProgressDialog>(
      QStringLiteral("Checking %1...").arg(QFileInfo(path).fileName()), QStringLiteral("Cancel"), 0,
      1000, owner());
  progress_->setWindowTitle(QStringLiteral("Replay a game"));
  progress_->setWindowModality(Qt::ApplicationModal);
  progress_->setMinimumDuration(500);
  progress_->setAutoReset(false);
  progress_->setAutoClose(false);
  progress_->setValue(0);  // the time it takes counts from now
  connect(progress_.get(), &QProgressDialog::canceled, this, [this] {
    player_.cancel();
    endProgress();
  });
  return true;
}

void ReplayMenu::endProgress() {
  if (!progress_) return;
  progress_->disconnect(this);
  progress_->hide();
  progress_.release()->deleteLater();  // it may be the sender of this very call
}

void ReplayMenu::chooseAndReplay() {
  const QString path =
      QFileDialog::getOpenFileName(stage_.handheld, QStringLiteral("Replay a game"),
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
    if (stage_.handheld && stage_.started()) {
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
