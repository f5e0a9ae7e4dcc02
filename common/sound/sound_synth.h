// SPDX-License-Identifier: GPL-3.0-or-later
// The eight sound samples in the voice of a small piezo speaker: square waves
// with short envelopes, 16-bit PCM mono at 22050 Hz, as whole WAV files.
#pragma once

#include <string>
#include <vector>

namespace cantiere {

struct SoundFile {
  const char* name;  // "Barrel.wav" ...
  std::string wav;   // the whole file
  double ms;         // its length
};

// The same bytes on every compiler that rounds as IEEE 754 asks: the tool
// that writes assets/SOUND and the page that makes them in the browser.
std::vector<SoundFile> makeSoundFiles();

}  // namespace cantiere
