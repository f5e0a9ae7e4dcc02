// SPDX-License-Identifier: GPL-3.0-or-later
// Art kept in memory for the renderer's tests, with every read noted.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "render/art.h"

namespace cantiere::test {

class FakeArt : public ArtSource {
 public:
  Art read(const std::string& path, std::string& error) const override {
    reads.push_back(path);
    const auto at = files.find(path);
    if (at == files.end()) {
      error = "cannot open " + path;
      return {};
    }
    return at->second;
  }

  std::map<std::string, Art> files;
  mutable std::vector<std::string> reads;
};

inline Art colourArt(int w, int h, Pixel colour) { return {Image(w, h, colour), {}}; }
inline Art maskArt(int w, int h, std::uint8_t tone) {
  Art art;
  art.mask = GreyImage(w, h);
  art.mask.pixels.assign(art.mask.pixels.size(), tone);
  return art;
}

}  // namespace cantiere::test
