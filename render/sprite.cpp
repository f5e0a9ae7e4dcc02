// SPDX-License-Identifier: GPL-3.0-or-later
#include "render/sprite.h"

namespace cantiere {

Sprite::Sprite(Image pixels) : image_(std::move(pixels)) {
  rowStart_.reserve(image_.height + 1);
  for (int y = 0; y < image_.height; ++y) {
    rowStart_.push_back(static_cast<int>(runs_.size()));
    const Pixel* line = image_.row(y);
    for (int x = 0; x < image_.width;) {
      if (line[x] == kTransparent) {
        ++x;
        continue;
      }
      const bool opaque = alphaOf(line[x]) == 255;
      const int left = x;
      while (x < image_.width && line[x] != kTransparent && (alphaOf(line[x]) == 255) == opaque) ++x;
      runs_.push_back({left, x - left, opaque});
    }
  }
  rowStart_.push_back(static_cast<int>(runs_.size()));
}

}  // namespace cantiere
