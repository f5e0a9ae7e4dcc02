// SPDX-License-Identifier: GPL-3.0-or-later
// A picture made once and drawn over and over (a keyed LCD figure, a
// segment's ink or shadow, the glass's sheen): its pixels and, row by row,
// the runs that are not transparent, the wholly opaque ones apart, so that
// drawing skips what would change nothing and copies what covers all.
#pragma once

#include <vector>

#include "render/image.h"

namespace cantiere {

class Sprite {
 public:
  struct Run {
    int left, length;
    bool opaque;  // every pixel of alpha 255
  };

  explicit Sprite(Image pixels = {});

  const Image& image() const { return image_; }
  int width() const { return image_.width; }
  int height() const { return image_.height; }
  const Run* begin(int y) const { return runs_.data() + rowStart_[y]; }
  const Run* end(int y) const { return runs_.data() + rowStart_[y + 1]; }

 private:
  Image image_;
  std::vector<Run> runs_;
  std::vector<int> rowStart_;  // height + 1 indices into runs_
};

}  // namespace cantiere
