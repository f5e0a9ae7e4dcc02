// SPDX-License-Identifier: GPL-3.0-or-later
#include "frontend/input/scripted_gamepads.h"

#include <fcntl.h>
#include <unistd.h>

#include <QDir>
#include <sstream>

#include "core/script/state_dump.h"

namespace cantiere {

std::unique_ptr<ScriptedGamepads> ScriptedGamepads::fromEnvironment(
    GamepadInput& gamepads, EventClock& clock, const Scheduler& scheduler, Surface& surface,
    SurfaceListener* window) {
  const QString folder = qEnvironmentVariable("CANTIERE_TEST_GAMEPAD");
  if (folder.isEmpty()) return nullptr;
  auto pads =
      std::make_unique<ScriptedGamepads>(folder, gamepads, clock, scheduler, surface, window);
  if (!pads->ready()) {
    std::fprintf(stderr, "cantiere: no test pads: %s/commands or %s/trace cannot be opened\n",
                 qPrintable(folder), qPrintable(folder));
    return nullptr;
  }
  return pads;
}

ScriptedGamepads::ScriptedGamepads(const QString& folder, GamepadInput& gamepads,
                                   EventClock& clock, const Scheduler& scheduler,
                                   Surface& surface, SurfaceListener* window)
    : gamepads_(gamepads),
      clock_(clock),
      scheduler_(scheduler),
      surface_(surface),
      window_(window) {
  const QDir dir(folder);
  // Open for writing too, so the FIFO never reads as ended between the
  // test's writers.
  fifo_ = ::open(QFile::encodeName(dir.filePath(QStringLiteral("commands"))).constData(),
                 O_RDWR | O_NONBLOCK | O_CLOEXEC);
  trace_ = std::fopen(QFile::encodeName(dir.filePath(QStringLiteral("trace"))).constData(), "w");
  if (fifo_ < 0 || !trace_) return;
  notifier_ = std::make_unique<QSocketNotifier>(fifo_, QSocketNotifier::Read);
  QObject::connect(notifier_.get(), &QSocketNotifier::activated, notifier_.get(),
                   [this] { readCommands(); });
  surface_.setListener(this);
}

ScriptedGamepads::~ScriptedGamepads() {
  if (notifier_) surface_.setListener(window_);
  notifier_.reset();
  if (fifo_ >= 0) ::close(fifo_);
  if (trace_) std::fclose(trace_);
}

void ScriptedGamepads::litChanged(Element e, bool lit) {
  if (window_) window_->litChanged(e, lit);
  std::fprintf(trace_, "%lld %s\n", static_cast<long long>(scheduler_.now()), litLine(e, lit).c_str());
  std::fflush(trace_);
}

void ScriptedGamepads::pictureChanged(Element e) {
  if (window_) window_->pictureChanged(e);
  if (const auto digit = digitLine(e, surface_.picture(e))) {
    std::fprintf(trace_, "%lld %s\n", static_cast<long long>(scheduler_.now()), digit->c_str());
    std::fflush(trace_);
  }
}

void ScriptedGamepads::readCommands() {
  char buffer[512];
  ssize_t n;
  while ((n = ::read(fifo_, buffer, sizeof buffer)) > 0)
    pending_.append(buffer, static_cast<size_t>(n));
  for (size_t end; (end = pending_.find('\n')) != std::string::npos;) {
    const std::string line = pending_.substr(0, end);
    pending_.erase(0, end + 1);
    if (!line.empty()) run(line);
  }
}

void ScriptedGamepads::run(const std::string& line) {
  std::fprintf(trace_, "%lld pad %s\n", static_cast<long long>(clock_.now()), line.c_str());
  std::istringstream words(line);
  std::string verb, name;
  int number = 0;
  words >> verb;
  bool understood = false;
  if (verb == "attach") {
    pads_.push_back(std::make_unique<VirtualGamepad>());
    understood = pads_.back()->attached();
  } else if (words >> number && number >= 1 && number <= static_cast<int>(pads_.size())) {
    VirtualGamepad& pad = *pads_[number - 1];
    int value = 0;
    if (verb == "detach") {
      pad.detach();
      understood = true;
    } else if ((verb == "press" || verb == "release") && words >> name) {
      understood = pad.button(name.c_str(), verb == "press");
    } else if (verb == "axis" && words >> name >> value) {
      understood = pad.axis(name.c_str(), value);
    }
  }
  if (!understood)
    std::fprintf(trace_, "%lld pad not understood\n", static_cast<long long>(clock_.now()));
  std::fflush(trace_);
  gamepads_.pump();
}

}  // namespace cantiere
