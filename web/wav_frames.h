// SPDX-License-Identifier: GPL-3.0-or-later
// The samples' frames as Web Audio takes them, read from their WAV files.
#pragma once

#include <cstdint>
#include <string>

namespace cantiere {

// The 16-bit mono PCM frames of a WAV file's data chunk, in place; false
// when the bytes are not such a file.
bool wavFrames(const std::string& wav, const std::int16_t*& frames, int& count, int& rate);

}  // namespace cantiere
