// SPDX-License-Identifier: GPL-3.0-or-later
#include "web/web_audio_output.h"

#include <cstring>
#include <vector>

#include "common/sound/sound_rest.h"
#include "common/sound/sound_synth.h"
#include "web/js_bridge.h"
#include "web/wav_frames.h"

namespace cantiere {
namespace {

// Made once, when PLAY first asks for a sample.
const std::vector<SoundFile>& soundFiles() {
  static const std::vector<SoundFile> files = makeSoundFiles();
  return files;
}

}  // namespace

void WebAudioOutput::init(int, int) { open_ = js_audio_init(kSoundRestAfterMs) != 0; }

SampleHandle WebAudioOutput::load(const char* path) {
  if (!open_) return 0;
  const char* slash = std::strrchr(path, '/');
  const char* name = slash ? slash + 1 : path;
  for (const SoundFile& file : soundFiles()) {
    if (std::strcmp(file.name, name) != 0) continue;
    const std::int16_t* frames = nullptr;
    int count = 0, rate = 0;
    if (!wavFrames(file.wav, frames, count, rate)) return 0;
    const int handle = nextHandle_++;
    js_audio_load(handle, name, frames, count, rate);
    return handle;
  }
  return 0;
}

void WebAudioOutput::play(SampleHandle sample) {
  if (sample) js_audio_play(static_cast<int>(sample));
}

void WebAudioOutput::stopAll() { js_audio_stop_all(); }

void WebAudioOutput::free(SampleHandle sample) {
  if (sample) js_audio_free(static_cast<int>(sample));
}

void WebAudioOutput::close() {
  js_audio_stop_all();
  open_ = false;
}

}  // namespace cantiere
