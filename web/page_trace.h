// SPDX-License-Identifier: GPL-3.0-or-later
// The model's observable events in the driver's trace format, time first
// ("1200 +Im_Bar46", "1200 sound SndBarrel", "1200 store HiScoreA=57"),
// kept for a test to read and set against `cantiere-sim --trace` given the
// page's own recording. Off unless the page was asked for it.
#pragma once

#include <string>

#include "core/lcd/surface.h"
#include "core/script/state_dump.h"
#include "core/settings/settings_store.h"
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
  void litChanged(Element e, bool lit) { event((lit ? "+" : "-") + std::string(nameOf(e))); }
  void pictureChanged(const Surface& surface, Element e) {
    if (e < Im_NumPos1 || e > Im_NumPos4) return;
    const int position = e == Im_NumPos1 ? 1 : e == Im_NumPos2 ? 2 : e == Im_NumPos3 ? 3 : 4;
    event("digit " + std::to_string(position) + ' ' + digitOf(surface.picture(e)));
  }
  void played(Sample s) override { event(std::string("sound ") + sampleName(s)); }
  void silenced() override { event("silence"); }

 private:
  const Scheduler& scheduler_;
  std::string text_;
};

// The model's writes to the store, traced as the driver traces them; the
// page's own (the size, the effects) go to the store directly.
class TracedSettings : public SettingsStore {
 public:
  TracedSettings(SettingsStore& inner, PageTrace& trace) : inner_(inner), trace_(trace) {}
  std::int32_t readInt(const char* name, std::int32_t fallback) override {
    return inner_.readInt(name, fallback);
  }
  void writeInt(const char* name, std::int32_t value) override {
    trace_.event(std::string("store ") + name + "=" + std::to_string(value));
    inner_.writeInt(name, value);
  }
  Raised raiseInt(const char* name, std::int32_t value) override {
    const Raised raised = inner_.raiseInt(name, value);
    if (raised.wrote) trace_.event(std::string("store ") + name + "=" + std::to_string(value));
    return raised;
  }

 private:
  SettingsStore& inner_;
  PageTrace& trace_;
};

}  // namespace cantiere
