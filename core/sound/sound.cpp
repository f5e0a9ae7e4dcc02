// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/sound/sound.h"

namespace cantiere {

const char* sampleName(Sample s) {
  static constexpr const char* kNames[SampleCount] = {
      "SndBarrel", "SndBonus", "SndFall", "SndJump",
      "SndOrcoFall", "SndMiss", "SndOver", "SndStep"};
  return s < SampleCount ? kNames[s] : "?";
}

bool Sound::start(int outputType) {
  output_.selectOutput(outputType);
  output_.init(22050, 64);
  const char* openError = output_.openError();
  // The load order differs from the storage order (Miss before OrcoFall).
  struct File {
    Sample sample;
    const char* path;
  };
  static constexpr File kFiles[] = {
      {SndBarrel, "SOUND/Barrel.wav"}, {SndBonus, "SOUND/Bonus.wav"},
      {SndFall, "SOUND/Fall.wav"},     {SndJump, "SOUND/Jump.wav"},
      {SndMiss, "SOUND/Miss.wav"},     {SndOrcoFall, "SOUND/OrcoFall.wav"},
      {SndOver, "SOUND/Over.wav"},     {SndStep, "SOUND/Step.wav"},
  };
  // Loaded also when no output opened: the calls stay those of the library,
  // and the first sample's failure is what counts.
  for (const File& f : kFiles) handles_[f.sample] = output_.load(f.path);
  const bool started = handles_[SndBarrel] != 0;
  failure_ = started ? Failure::None : openError ? Failure::Device : Failure::Samples;
  deviceError_ = failure_ == Failure::Device ? openError : "";
  return started;
}

void Sound::Suona(Sample s) {
  if (!SoundOn) return;
  output_.play(handles_[s]);
  if (listener_) listener_->played(s);
}

void Sound::Silenzio() {
  if (!SoundOn) return;
  output_.stopAll();
  if (listener_) listener_->silenced();
}

void Sound::release() {
  for (SampleHandle& h : handles_) {
    output_.free(h);
    h = 0;
  }
  output_.close();
}

}  // namespace cantiere
