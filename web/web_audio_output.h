// SPDX-License-Identifier: GPL-3.0-or-later
// The handheld's mixer on the browser's Web Audio: each sample an audio
// buffer, each play a source of its own, so a new sound never cuts one that
// plays. The samples are not downloaded: the page makes them with the same
// code that makes the WAV files, byte for byte. Both sound modes of the
// launcher play here, the browser having one output. Like the desktop's,
// the output rests (the audio context is suspended) once nothing has
// sounded for a while, and the next sound takes it up again.
#pragma once

#include <string>

#include "core/sound/sound.h"

namespace cantiere {

class WebAudioOutput : public SoundOutput {
 public:
  void selectOutput(int) override {}
  // Makes (or takes up again) the page's audio context. A browser lets it
  // run only inside a person's click, so PLAY starts it.
  void init(int mixRate, int channels) override;
  SampleHandle load(const char* path) override;
  void play(SampleHandle sample) override;
  void stopAll() override;
  void free(SampleHandle sample) override;
  void close() override;
  const char* openError() const override { return open_ ? nullptr : "this browser has no Web Audio"; }

 private:
  bool open_ = false;
  int nextHandle_ = 1;
};

}  // namespace cantiere
