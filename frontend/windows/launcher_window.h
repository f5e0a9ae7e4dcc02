// SPDX-License-Identifier: GPL-3.0-or-later
// The launcher window (`SplashForm`): title, version, slideshow, links, the
// sound list and PLAY. The widgets show the state of the launcher's model
// and hand every choice to it.
#pragma once

#include <QComboBox>
#include <QFont>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QWidget>
#include <functional>

#include "core/launcher/launcher.h"
#include "common/clock/event_clock.h"
#include "common/input/model_input.h"

namespace cantiere {

// Arial at a size in pixels where it is installed, else Liberation Sans,
// which has Arial's metrics.
QFont arialFont(int pixels, bool bold = false);

// A label that acts on a left click.
class LinkLabel : public QLabel {
 public:
  LinkLabel(const QString& text, QWidget* parent) : QLabel(text, parent) {}
  std::function<void()> clicked;

 protected:
  void mouseReleaseEvent(QMouseEvent* e) override;
};

// The sound list, whose popup opens under it on every desktop.
class SoundList : public QComboBox {
 public:
  using QComboBox::QComboBox;
  void showPopup() override;
};

class SplashForm : public QWidget {
 public:
  SplashForm(Launcher& launcher, ModelInput& input);

  // The widgets take the model's state: selection, PLAY, the slide.
  void refresh();
  // In the middle of the primary screen.
  void centre();

  QLabel* title() const { return title_; }
  QLabel* version() const { return version_; }
  LinkLabel* webLink() const { return http_; }
  LinkLabel* mailLink() const { return email_; }
  QLabel* slide() const { return slide_; }
  QLabel* soundLabel() const { return sound_; }
  QComboBox* soundList() const { return list_; }
  QPushButton* playButton() const { return play_; }
  // Which slideshow picture is on show: 1, 2, or 0 for none.
  int slideOnShow() const { return slideOnShow_; }

 protected:
  void showEvent(QShowEvent* e) override;
  void closeEvent(QCloseEvent* e) override;

 private:
  Launcher& launcher_;
  ModelInput& input_;
  EventClock& clock_;
  QLabel* title_;
  QLabel* version_;
  LinkLabel* email_;
  LinkLabel* http_;
  QLabel* slide_;
  QLabel* sound_;
  QComboBox* list_;
  QPushButton* play_;
  QPixmap slides_[2];
  double slidesRatio_ = 0;  // the screen density the slides are made for
  int slideOnShow_ = 0;
};

}  // namespace cantiere
