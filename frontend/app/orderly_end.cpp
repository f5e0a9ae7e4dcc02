// SPDX-License-Identifier: GPL-3.0-or-later
#include "frontend/app/orderly_end.h"

#include <fcntl.h>
#include <unistd.h>

#include <QCoreApplication>
#include <cerrno>
#include <csignal>
#include <cstdlib>

namespace cantiere {
namespace {

constexpr int kEndingSignals[] = {SIGINT, SIGTERM, SIGHUP};

int signalPipe[2] = {-1, -1};
OrderlyEnd* current = nullptr;

void onSignal(int signal) {
  const int saved = errno;
  const unsigned char number = static_cast<unsigned char>(signal);
  [[maybe_unused]] const ssize_t written = ::write(signalPipe[1], &number, 1);
  errno = saved;
}

}  // namespace

OrderlyEnd::OrderlyEnd(std::function<void()> lastWrites)
    : lastWrites_(std::move(lastWrites)), thread_(std::this_thread::get_id()) {
  current = this;
  static const bool hooked = std::atexit(&OrderlyEnd::atExit) == 0;
  (void)hooked;
  if (signalPipe[0] < 0 && ::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
  notifier_ = std::make_unique<QSocketNotifier>(signalPipe[0], QSocketNotifier::Read);
  QObject::connect(notifier_.get(), &QSocketNotifier::activated, notifier_.get(), [this] {
    unsigned char number = 0;
    while (::read(signalPipe[0], &number, 1) == 1)
      if (signal_ == 0) signal_ = number;
    // Every event loop, a dialog's included, ends as on Exit.
    QCoreApplication::exit(0);
  });
  for (const int signal : kEndingSignals) {
    struct sigaction before {};
    ::sigaction(signal, nullptr, &before);
    // Ignored by whoever started it (nohup, a background job): left so.
    if (before.sa_handler == SIG_IGN) continue;
    struct sigaction action {};
    action.sa_handler = onSignal;
    action.sa_flags = SA_RESTART;
    sigemptyset(&action.sa_mask);
    ::sigaction(signal, &action, nullptr);
  }
}

OrderlyEnd::~OrderlyEnd() {
  // Whatever comes after the program's own end dies of the signal again.
  for (const int signal : kEndingSignals) {
    struct sigaction now {};
    ::sigaction(signal, nullptr, &now);
    if (now.sa_handler == onSignal) ::signal(signal, SIG_DFL);
  }
  if (current == this) current = nullptr;
}

void OrderlyEnd::finish() {
  if (finished_) return;
  finished_ = true;
  if (lastWrites_) lastWrites_();
}

void OrderlyEnd::atExit() {
  // exit() called from the program's own thread inside the event loop; on
  // another thread the objects the writes read may be in use.
  if (current && std::this_thread::get_id() == current->thread_) current->finish();
}

void OrderlyEnd::dieOf(int signal) {
  ::signal(signal, SIG_DFL);
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, signal);
  ::sigprocmask(SIG_UNBLOCK, &set, nullptr);
  ::raise(signal);
  std::_Exit(128 + signal);
}

}  // namespace cantiere
