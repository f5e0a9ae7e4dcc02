// SPDX-License-Identifier: GPL-3.0-or-later
// The outline of the handheld's case, read from its picture at the device
// scale (so at 200 to 400 % its corners are as smooth as the picture), as
// spans of each row: a front end turns them into a window mask, and the
// compositor leaves everything outside them transparent.
#pragma once

#include <vector>

#include "render/image.h"

namespace cantiere {

// [left, right) of one row.
struct Span {
  int left, right;
  bool operator==(const Span&) const = default;
};

class CaseOutline {
 public:
  CaseOutline() = default;
  // The pixels of a case picture that belong to the case: all but the dark
  // background that reaches the picture's edges (its corners, the notches
  // beside the hinge). Pixels under half opaque count as background. An
  // empty picture gives an empty outline, which means the whole window.
  static CaseOutline of(const Image& picture);

  bool empty() const { return height_ == 0; }
  int width() const { return width_; }
  int height() const { return height_; }
  // Row y's spans, left to right; none beyond the picture.
  const Span* begin(int y) const;
  const Span* end(int y) const;
  bool contains(int x, int y) const;

  // The outline as rectangles, rows of the same spans run together: a band
  // structure (rectangles sorted by top, then left, those of one band of
  // equal top and height) that window systems take as a shape directly.
  std::vector<Rect> rectangles() const;

 private:
  int width_ = 0, height_ = 0;
  std::vector<Span> spans_;
  std::vector<int> rowStart_;  // height + 1 indices into spans_
};

// Every pixel of `target` inside `region` and outside `outline` (placed at
// `origin`) made fully transparent.
void clearOutside(Image& target, const CaseOutline& outline, int originX, int originY,
                  const Rect& region);

}  // namespace cantiere
