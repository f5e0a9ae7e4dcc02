// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/replay/replay_session.h"

#include <algorithm>

#include "common/replay/borrowed_output.h"
#include "core/script/script_command.h"
#include "core/script/script_runner.h"
#include "core/settings/memory_settings.h"

namespace cantiere {
namespace {

// The replay's desktop: the screen the recording was made on, the window's
// changes, and the end of its program; it opens no document.
class ReplayDesktop : public Desktop {
 public:
  ScreenSize size{1024, 768};
  std::function<void(const WindowGeometry&)>* changed = nullptr;
  std::function<void()>* beeped = nullptr;
  bool exited = false;
  ScreenSize screen() const override { return size; }
  void windowChanged(const WindowGeometry& g) override {
    if (*changed) (*changed)(g);
  }
  void showLauncher() override {}
  void hideLauncher() override {}
  void showAbout() override {}
  void open(const char*) override {}
  void beep() override {
    if (*beeped) (*beeped)();
  }
  void message(const char*) override {}
  void exit() override { exited = true; }
};

}  // namespace

struct ReplaySession::Run {
  Run(Sound& liveSound, SoundOutput& liveOutput, std::string_view text)
      : output(liveSound, liveOutput),
        program(HandheldServices{scheduler, time, sound, settings, desktop}),
        runner(program, scheduler, time, replayHooks(desktop.size, settings)),
        lines(text) {
    runner.asRecording = true;
    runner.deferWaits = true;
  }

  Scheduler scheduler;
  AnchoredTimeOfDay time{scheduler};
  BorrowedOutput output;
  Sound sound{output};
  MemorySettings settings;
  ReplayDesktop desktop;
  Program program;
  ScriptRunner runner;
  TextLines lines;
  Millis pendingWait = 0;
};

ReplaySession::ReplaySession(std::string text, Sound& liveSound, SoundOutput& liveOutput)
    : text_(std::move(text)),
      checkedLines_(std::make_unique<TextLines>(text_)),
      checker_(std::make_unique<RecordingChecker>(*checkedLines_)),
      liveSound_(liveSound),
      liveOutput_(liveOutput) {}

ReplaySession::~ReplaySession() = default;

void ReplaySession::skipCheck() {
  checker_.reset();
  checkedLines_.reset();
  replayFrom_ = 0;
  begin();
}

void ReplaySession::begin() {
  run_ = std::make_unique<Run>(liveSound_, liveOutput_, text_);
  run_->desktop.changed = &windowChanged;
  run_->desktop.beeped = &beep;
  phase_ = Phase::Unseen;
}

int ReplaySession::checkedPermille() const {
  if (!checkedLines_) return phase_ == Phase::Checking ? 0 : 1000;
  return static_cast<int>(checkedLines_->offset() * 1000 / std::max<std::size_t>(text_.size(), 1));
}

void ReplaySession::work() {
  if (phase_ == Phase::Checking) {
    if (!checker_->step(kLinesPerStep, kMsPerStep)) return;
    const RecordingCheck& check = checker_->result();
    if (check.outcome == RecordingCheck::Outcome::Bad) {
      refusal_ = describe(check);
      phase_ = Phase::Refused;
      checker_.reset();
      checkedLines_.reset();
      std::string().swap(text_);  // as much as 64 MB
      return;
    }
    replayFrom_ = check.header.replayFrom;
    checker_.reset();
    checkedLines_.reset();
    begin();
    return;
  }
  // Up to where the file says the game begins, the replay runs unseen.
  if (phase_ == Phase::Unseen && runTo(replayFrom_, kLinesPerStep, kMsPerStep) &&
      phase_ == Phase::Unseen)
    phase_ = Phase::Ready;
}

void ReplaySession::play(std::int64_t wallMs) {
  if (phase_ == Phase::Ready) phase_ = Phase::Playing;
  speed_ = 1;
  wallBase_ = wallMs;
  virtualBase_ = run_->scheduler.now();
}

Millis ReplaySession::target(std::int64_t wallMs) const {
  return virtualBase_ + (wallMs - wallBase_) * speed_;
}

Millis ReplaySession::frameTime(std::int64_t wallMs) const {
  const Millis at = run_->scheduler.now();
  return phase_ == Phase::Ended ? at : std::max(target(wallMs), at);
}

void ReplaySession::setSpeed(int factor, std::int64_t wallMs) {
  if (phase_ != Phase::Playing && phase_ != Phase::Ended) return;
  if (factor == speed_) return;
  virtualBase_ = std::max(target(wallMs), run_->scheduler.now());
  wallBase_ = wallMs;
  speed_ = factor;
}

std::int64_t ReplaySession::pump(std::int64_t wallMs) {
  if (phase_ != Phase::Playing) return -1;
  Run& r = *run_;
  const bool caughtUp = runTo(std::max(target(wallMs), r.scheduler.now()), kLinesPerStep, kMsPerStep);
  if (phase_ == Phase::Ended) return -1;
  if (!caughtUp) return 0;  // more lines at this instant: after the window's events
  // Wake at the next tick or the end of the wait, whichever comes first.
  const Millis next = std::min(r.scheduler.nextDue(), r.scheduler.now() + r.pendingWait);
  const Millis wallWait = (next - target(wallMs) + speed_ - 1) / speed_;
  return std::clamp<Millis>(wallWait, 0, 1 << 30);
}

bool ReplaySession::runTo(Millis until, int lines, Millis ms) {
  Run& r = *run_;
  std::string line, error;
  while (phase_ != Phase::Ended) {
    if (r.pendingWait > 0) {
      if (until <= r.scheduler.now()) return true;
      if (ms <= 0) return false;
      const Millis step = std::min({r.pendingWait, until - r.scheduler.now(), ms});
      r.scheduler.advance(step);
      r.pendingWait -= step;
      ms -= step;
      continue;
    }
    if (r.desktop.exited) {
      finish();
      break;
    }
    if (lines-- <= 0) return false;
    if (!r.lines.next(line)) {
      finish();
      break;
    }
    if (!r.runner.feed(line, error)) {
      broken_ = "line " + std::to_string(r.runner.lineNumber()) + ": " + printable(error, 200);
      finish();
      break;
    }
    r.pendingWait = r.runner.deferredWait;
    r.runner.deferredWait = 0;
  }
  return true;
}

void ReplaySession::finish() {
  run_->runner.finish();
  phase_ = Phase::Ended;
}

Program& ReplaySession::program() { return run_->program; }
const Program& ReplaySession::program() const { return run_->program; }
Millis ReplaySession::now() const { return run_ ? run_->scheduler.now() : 0; }
Millis ReplaySession::nextTick() const { return run_ ? run_->scheduler.nextDue() : Scheduler::kNever; }

ScreenSize ReplaySession::screen() const { return run_ ? run_->desktop.size : ScreenSize{1024, 768}; }

void ReplaySession::silence() {
  if (run_) run_->output.stopAll();
}

}  // namespace cantiere
