// SPDX-License-Identifier: GPL-3.0-or-later
#include "frontend/windows/high_score_notice.h"

#include <QFile>
#include <QMessageBox>
#include <QTimer>

#include "core/handheld/game_state.h"
#include "common/clock/event_clock.h"
#include "frontend/windows/handheld_window.h"

namespace cantiere {

HighScoreNotice::HighScoreNotice(IniSettings& settings, EventClock& clock, const GameState& state,
                                 QWidget* owner)
    : settings_(settings), state_(state), owner_(owner) {
  const QString path = QFile::decodeName(QByteArray::fromStdString(settings.path()));
  settings.onUnstored = [this, path](const IniSettings::Unstored& unstored) {
    text_ = textFor(unstored, path);
  };
  // Told inside the game-over handler; looked at once the ticks are done.
  clock.onTicks([this] { showWhenNoGameRuns(); });
}

HighScoreNotice::~HighScoreNotice() { settings_.onUnstored = nullptr; }

QString HighScoreNotice::textFor(const IniSettings::Unstored& unstored, const QString& path) {
  const QString game = unstored.name == "HiScoreA"   ? QStringLiteral("Game A")
                       : unstored.name == "HiScoreB" ? QStringLiteral("Game B")
                                                     : QString::fromStdString(unstored.name);
  return QStringLiteral("The new %1 high score, %2, could not be stored in %3:\n%4.\n\n%5")
      .arg(game)
      .arg(unstored.value)
      .arg(path, QString::fromLocal8Bit(unstored.why.c_str()),
           unstored.retried
               ? QStringLiteral(
                     "It is kept, and written at the next chance or when the program ends.")
               : QStringLiteral("The settings file is not written in this run."));
}

void HighScoreNotice::showWhenNoGameRuns() {
  if (text_.isEmpty() || queued_ || state_.GameRunning) return;
  queued_ = true;
  // Out of the clock's wake-up, so the box never runs inside a tick.
  QTimer::singleShot(0, this, [this] {
    queued_ = false;
    if (text_.isEmpty() || state_.GameRunning) return;
    auto* box = new QMessageBox(QMessageBox::Warning, QString::fromUtf8(kApplicationTitle), text_,
                                QMessageBox::Ok, owner_);
    text_.clear();
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setAttribute(Qt::WA_ShowWithoutActivating);
    box->setWindowModality(Qt::NonModal);
    box_ = box;
    box->show();
  });
}

}  // namespace cantiere
