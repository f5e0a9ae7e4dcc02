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

 private:
  QLabel* picture_;
  std::array<Row, 5> rows_{};
};

}  // namespace cantiere
