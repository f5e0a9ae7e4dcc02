// SPDX-License-Identifier: GPL-3.0-or-later
// A replay's sound output: its samples are loaded through the handheld's
// own mixer while the handheld's sound is on, and the mixer itself stays
// the handheld's. With the sound off, the replay plays nothing.
#pragma once

#include <algorithm>
#include <vector>

#include "core/sound/sound.h"

namespace cantiere {

class BorrowedOutput : public SoundOutput {
 public:
  BorrowedOutput(Sound& liveSound, SoundOutput& live) : liveSound_(liveSound), live_(live) {}
  ~BorrowedOutput() override {
    for (SampleHandle h : loaded_) live_.free(h);
  }
  void selectOutput(int) override {}
  void init(int, int) override {}
  SampleHandle load(const char* path) override {
    if (!liveSound_.SoundOn) return kSilent;
    const SampleHandle h = live_.load(path);
    if (h == 0) return kSilent;  // the replay goes on, without that sound
    loaded_.push_back(h);
    return h;
  }
  void play(SampleHandle h) override {
    if (h != kSilent && liveSound_.SoundOn) live_.play(h);
  }
  void stopAll() override {
    if (liveSound_.SoundOn) live_.stopAll();
  }
  void free(SampleHandle h) override {
    const auto it = std::find(loaded_.begin(), loaded_.end(), h);
    if (it == loaded_.end()) return;
    live_.free(h);
    loaded_.erase(it);
  }
  void close() override {}

 private:
  // A handle the replay's model holds while the handheld's sound is off.
  static constexpr SampleHandle kSilent = 1;

  Sound& liveSound_;
  SoundOutput& live_;
  std::vector<SampleHandle> loaded_;
};

}  // namespace cantiere
