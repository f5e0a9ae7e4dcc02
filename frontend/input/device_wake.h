// SPDX-License-Identifier: GPL-3.0-or-later
// Wakes the program when a controller's device node has input, so SDL is
// read when there is something to read rather than on a timer. The node is
// opened a second time, read-only: the kernel gives every reader its own
// copy of the events, so what is read here and dropped is not taken from
// SDL. A pad that reports all the time wakes it at most once per `gap`.
#pragma once

#include <QSocketNotifier>
#include <QString>
#include <QTimer>
#include <functional>
#include <memory>

namespace cantiere {

class DeviceWake {
 public:
  // `wake` is called from the notifier's signal: it must not destroy this.
  DeviceWake(const QString& path, std::function<void()> wake, int gapMs);
  ~DeviceWake();
  DeviceWake(const DeviceWake&) = delete;
  DeviceWake& operator=(const DeviceWake&) = delete;

  // False when the node could not be opened, or has gone.
  bool watching() const { return fd_ >= 0; }

 private:
  void readable();
  void stop();

  int fd_ = -1;
  std::unique_ptr<QSocketNotifier> notifier_;
  QTimer gap_;
  std::function<void()> wake_;
};

}  // namespace cantiere
