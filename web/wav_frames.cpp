// SPDX-License-Identifier: GPL-3.0-or-later
#include "web/wav_frames.h"

namespace cantiere {
namespace {

std::uint32_t le32(const std::string& s, std::size_t at) {
  return static_cast<std::uint8_t>(s[at]) | static_cast<std::uint8_t>(s[at + 1]) << 8 |
         static_cast<std::uint8_t>(s[at + 2]) << 16 |
         static_cast<std::uint32_t>(static_cast<std::uint8_t>(s[at + 3])) << 24;
}
std::uint16_t le16(const std::string& s, std::size_t at) {
  return static_cast<std::uint16_t>(static_cast<std::uint8_t>(s[at]) |
                                    static_cast<std::uint8_t>(s[at + 1]) << 8);
}

}  // namespace

bool wavFrames(const std::string& wav, const std::int16_t*& frames, int& count, int& rate) {
  if (wav.size() < 12 || wav.compare(0, 4, "RIFF") != 0 || wav.compare(8, 4, "WAVE") != 0)
    return false;
  bool format = false;
  for (std::size_t at = 12; at + 8 <= wav.size();) {
    const std::uint32_t size = le32(wav, at + 4);
    const std::size_t body = at + 8;
    if (size > wav.size() - body) return false;
    if (wav.compare(at, 4, "fmt ") == 0 && size >= 16) {
      // PCM, one channel, 16 bits.
      format = le16(wav, body) == 1 && le16(wav, body + 2) == 1 && le16(wav, body + 14) == 16;
      rate = static_cast<int>(le32(wav, body + 4));
      if (!format || rate <= 0) return false;
    } else if (wav.compare(at, 4, "data") == 0) {
      if (!format || (body & 1) != 0) return false;
      frames = reinterpret_cast<const std::int16_t*>(wav.data() + body);
      count = static_cast<int>(size / 2);
      return true;
    }
    at = body + size + (size & 1);
  }
  return false;
}

}  // namespace cantiere
