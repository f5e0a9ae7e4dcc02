// SPDX-License-Identifier: GPL-3.0-or-later
// A SoundOutput that only records what it was asked, for tests and the
// scripted driver. It can be told to fail its first load, which is how the
// launcher's "sound folder" error is reached without touching the disk.
#pragma once

#include <string>
#include <vector>

#include "core/sound/sound.h"

namespace cantiere {

class RecordingOutput : public SoundOutput {
 public:
  bool failFirstLoad = false;
  // A reason for init to give, as a device that cannot open does; with it
  // nothing loads.
  const char* failOpen = nullptr;
  std::vector<std::string> calls;  // e.g. "init 22050 64", "load SOUND/Barrel.wav"
  int playCount = 0;               // counted without allocating

  void selectOutput(int type) override { calls.push_back("output " + std::to_string(type)); }
  void init(int rate, int channels) override {
    calls.push_back("init " + std::to_string(rate) + " " + std::to_string(channels));
  }
  SampleHandle load(const char* path) override {
    calls.push_back(std::string("load ") + path);
    ++loads_;
    if (failOpen || (failFirstLoad && loads_ == 1)) return 0;
    return loads_;
  }
  void play(SampleHandle) override { ++playCount; }
  void stopAll() override {}
  void free(SampleHandle h) override { calls.push_back("free " + std::to_string(h)); }
  void close() override { calls.push_back("close"); }
  const char* openError() const override { return failOpen; }

 private:
  SampleHandle loads_ = 0;
};

}  // namespace cantiere
