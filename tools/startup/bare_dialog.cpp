// SPDX-License-Identifier: GPL-3.0-or-later
// The yardstick for the desktop program's start-up: the least a Qt Widgets
// program does to put a dialog with some text and a button on screen.
#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QDialog dialog;
  dialog.setWindowTitle(QStringLiteral("Bare dialog"));
  auto* layout = new QVBoxLayout(&dialog);
  layout->addWidget(new QLabel(QStringLiteral("A bare Qt Widgets dialog."), &dialog));
  auto* button = new QPushButton(QStringLiteral("Close"), &dialog);
  QObject::connect(button, &QPushButton::clicked, &dialog, &QDialog::accept);
  layout->addWidget(button);
  dialog.show();
  return app.exec();
}
