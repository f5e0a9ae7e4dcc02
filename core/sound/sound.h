// SPDX-License-Identifier: GPL-3.0-or-later
// The handheld's sound: eight samples, played on free channels of a mixer,
// all cut at once by Silenzio. The mixer itself sits behind SoundOutput, so
// the model runs the same with the real library, a recorder, or nothing.
#pragma once

#include <array>
#include <cstdint>

namespace cantiere {

// In storage (and release) order.
enum Sample : std::uint8_t {
  SndBarrel,
  SndBonus,
  SndFall,
  SndJump,
  SndOrcoFall,
  SndMiss,
  SndOver,
  SndStep,
  SampleCount,
};
const char* sampleName(Sample s);  // "SndBarrel" ...

using SampleHandle = std::intptr_t;  // 0: not loaded

// What the model asks of a mixer library.
class SoundOutput {
 public:
  virtual ~SoundOutput() = default;
  virtual void selectOutput(int outputType) = 0;  // 1 direct device, 2 sound server
  virtual void init(int mixRate, int channels) = 0;
  virtual SampleHandle load(const char* path) = 0;  // 0 on failure
  virtual void play(SampleHandle sample) = 0;       // on a free channel
  virtual void stopAll() = 0;
  virtual void free(SampleHandle sample) = 0;  // 0 is harmless
  virtual void close() = 0;                    // harmless if never started
  // After init: why no output could be opened, in the driver's own words,
  // or nullptr when one opened (or the library cannot tell).
  virtual const char* openError() const { return nullptr; }
};

// Told about what is really played (only while sound is on).
class SoundListener {
 public:
  virtual ~SoundListener() = default;
  virtual void played(Sample s) = 0;
  virtual void silenced() = 0;
};

class Sound {
 public:
  explicit Sound(SoundOutput& output) : output_(output) {}

  void setListener(SoundListener* listener) { listener_ = listener; }

  bool SoundOn = false;

  // Selects the output, starts the mixer at 22050 Hz with 64 channels and
  // loads the eight samples from SOUND/ below the working folder. Fails
  // when the first sample (Barrel) did not load; a later one that fails
  // stays silent.
  bool start(int outputType);
  void Suona(Sample s);
  void Silenzio();
  // Frees the eight samples in storage order and closes the output; runs
  // whether or not sound was ever started.
  void release();

  SampleHandle handle(Sample s) const { return handles_[s]; }

  // Why the last start failed: no output could be opened (a device or a
  // sound server), or the first sample did not load (the SOUND folder).
  enum class Failure { None, Device, Samples };
  Failure failure() const { return failure_; }
  // The driver's reason when the failure is the device ("" otherwise).
  const char* deviceError() const { return deviceError_; }

 private:
  SoundOutput& output_;
  SoundListener* listener_ = nullptr;
  std::array<SampleHandle, SampleCount> handles_{};
  Failure failure_ = Failure::None;
  const char* deviceError_ = "";
};

}  // namespace cantiere
