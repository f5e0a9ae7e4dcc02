// SPDX-License-Identifier: GPL-3.0-or-later
#include "frontend/input/device_wake.h"

#include <fcntl.h>
#include <unistd.h>

#include <QFile>
#include <cerrno>

namespace cantiere {

DeviceWake::DeviceWake(const QString& path, std::function<void()> wake, int gapMs)
    : wake_(std::move(wake)) {
  fd_ = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd_ < 0) return;
  notifier_ = std::make_unique<QSocketNotifier>(fd_, QSocketNotifier::Read);
  QObject::connect(notifier_.get(), &QSocketNotifier::activated, &gap_, [this] { readable(); });
  gap_.setSingleShot(true);
  // A coarse timer may end up to 5 % early, inside the gap it keeps.
  gap_.setTimerType(Qt::PreciseTimer);
  gap_.setInterval(gapMs);
  QObject::connect(&gap_, &QTimer::timeout, &gap_, [this] {
    if (notifier_) notifier_->setEnabled(true);
  });
}

DeviceWake::~DeviceWake() { stop(); }

void DeviceWake::stop() {
  if (notifier_) notifier_->setEnabled(false);
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

void DeviceWake::readable() {
  notifier_->setEnabled(false);
  char drop[4096];
  for (;;) {
    const ssize_t n = ::read(fd_, drop, sizeof drop);
    if (n > 0) continue;
    if (n < 0 && errno == EINTR) continue;
    // Nothing more for now; an end or any other error is a node that went.
    if (n == 0 || errno != EAGAIN) stop();
    break;
  }
  if (watching()) gap_.start();
  wake_();
}

}  // namespace cantiere
