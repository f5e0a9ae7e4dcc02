// SPDX-License-Identifier: GPL-3.0-or-later
// Ctrl+C, a kill, a logout and the X server going away are ordinary ways
// for a desktop program to end: each ends this one as Exit does, with its
// last writes made (the --record session, settings still pending).
//
// A signal handler may only do what is safe between any two instructions,
// so SIGINT, SIGTERM and SIGHUP write their number to a pipe that the event
// loop watches, and the loop is ended from there. When the X server goes
// away, Qt's X11 connection ends the process with exit(1) ("The X11
// connection broke"), from inside the event loop, where no destructor on
// the stack runs: an exit hook makes the last writes then.
#pragma once

#include <QSocketNotifier>
#include <functional>
#include <memory>
#include <thread>

namespace cantiere {

class OrderlyEnd {
 public:
  // One at a time, made once the application object exists.
  explicit OrderlyEnd(std::function<void()> lastWrites);
  ~OrderlyEnd();
  OrderlyEnd(const OrderlyEnd&) = delete;
  OrderlyEnd& operator=(const OrderlyEnd&) = delete;

  // Makes the last writes, once; after it, the exit hook does nothing.
  void finish();
  // The signal that ended the event loop; 0 when something else did.
  int signal() const { return signal_; }

  // Ends the process by `signal` as if it had never been caught, so that
  // whoever started it sees how it ended (a shell stops a script on Ctrl+C
  // only when its command died of SIGINT).
  [[noreturn]] static void dieOf(int signal);

 private:
  static void atExit();

  std::function<void()> lastWrites_;
  bool finished_ = false;
  int signal_ = 0;
  std::thread::id thread_;
  std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace cantiere
