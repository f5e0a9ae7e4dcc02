// SPDX-License-Identifier: GPL-3.0-or-later
// The model's observable events in the driver's trace format, time first
// ("1200 +Im_Bar46", "1200 sound SndBarrel", "1200 store HiScoreA=57"),
// kept for a test to read and set against `cantiere-sim --trace` given the
// page's own recording. Off unless the page was asked for it.
#pragma once

#include <string>

#include "core/lcd/surface.h"
#include "core/script/state_dump.h"
#include "core/sound/sound.h"
#include "core/timing/scheduler.h"

namespace cantiere {

class PageTrace : public SoundListener {
 public:
  explicit PageTrace(const Scheduler& scheduler) : scheduler_(scheduler) {}

  bool enabled = false;
  const std::string& text() const { return text_; }

  void event(const std::string& what) {
    if (enabled) text_ += std::to_string(scheduler_.now()) + ' ' + what + '\n';
  }
  void litChanged(Element e, bool lit) { event(litLine(e, lit)); }
  void pictureChanged(const Surface& surface, Element e) {
    if (const auto digit = digitLine(e, surface.picture(e))) event(*digit);
  }
  void played(Sample s) override { event(std::string("sound ") + sampleName(s)); }
  void silenced() override { event("silence"); }

 private:
  const Scheduler& scheduler_;
  std::string text_;
};

}  // namespace cantiere
