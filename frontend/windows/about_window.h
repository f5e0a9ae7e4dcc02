// SPDX-License-Identifier: GPL-3.0-or-later
// The about window (`AboutForm`): a picture in a raised frame and five rows
// of caption and value.
#pragma once

#include <QLabel>
#include <QWidget>
#include <array>

namespace cantiere {

class AboutForm : public QWidget {
 public:
  AboutForm();

  struct Row {
    QLabel* caption;
    QLabel* value;
  };
  const std::array<Row, 5>& rows() const { return rows_; }
  QLabel* picture() const { return picture_; }

 protected:
  // Shown, or moved to another screen: the picture for its density.
  bool event(QEvent* e) override;
  void showEvent(QShowEvent* e) override;
  // A click closes it: some compositors give it no close button.
  void mouseReleaseEvent(QMouseEvent* e) override;

 private:
  QLabel* picture_;
  double pictureRatio_ = 0;
  std::array<Row, 5> rows_{};
};

}  // namespace cantiere
