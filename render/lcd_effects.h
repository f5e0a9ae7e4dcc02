// SPDX-License-Identifier: GPL-3.0-or-later
// The look of a segment LCD over a printed backdrop: each segment's ink is a
// deep blue-grey that lets the print show faintly through, casts a soft
// shadow on the backdrop behind the liquid crystal, and a faint sheen lies
// on the glass. Sizes are in device pixels; `scale` is device pixels per
// catalogue pixel, so the shadow keeps its place and softness at any size.
//
// The layers are made once per picture, element size and scale and kept;
// drawing them is the compositor's.
#pragma once

#include <array>
#include <memory>
#include <vector>

#include "core/lcd/catalogue.h"
#include "render/sprite.h"

namespace cantiere {

// The shadow's offset down and to the right, and its opacity, at 1x.
inline constexpr double kShadowOffset = 1.5;
inline constexpr double kShadowOpacity = 0.25;

// Shadow offset and blur along one axis, as one kernel: output pixel
// x + lo + i takes weight[i] of source pixel x.
struct ShadowKernel {
  int lo = 0;
  std::vector<float> weight;
  int hi() const { return lo + static_cast<int>(weight.size()) - 1; }
};
ShadowKernel shadowKernel(double scale);

// The rectangle a segment at `rect` may paint, its shadow included; the
// second form with the kernel's reach (lo, hi()) at hand.
Rect segmentPaintRect(const Rect& rect, double scale);
Rect segmentPaintRect(const Rect& rect, int lo, int hi);

// e^x for x <= 0 from + - * / alone, which every IEEE platform rounds
// alike: the shadow and the sheen come out the same in any build.
double portableExp(double x);

class LcdEffects {
 public:
  explicit LcdEffects(double scale);

  double scale() const { return scale_; }
  const ShadowKernel& kernel() const { return kernel_; }

  // `owner`'s picture (keyed, made for the device scale) as a segment of
  // `width` x `height` device pixels shows it: its ink, and its shadow,
  // which lies at the element's top left plus (lo, lo) of the kernel. Never
  // beyond the element: unlit pixels of a wrong-size picture must not show.
  const Sprite& ink(Element owner, const Image& picture, int width, int height);
  const Sprite& shadow(Element owner, const Image& picture, int width, int height);
  // The sheen over a screen of that size.
  const Sprite& glass(int width, int height);

  // `owner` has a new picture: what was made from the old one goes.
  void forget(Element owner);

 private:
  enum class Kind { Ink, Shadow };
  struct Made {
    Kind kind;
    int width, height;
    Sprite sprite;
  };
  using Shelf = std::vector<std::unique_ptr<Made>>;  // what is handed out never moves
  const Sprite& made(Kind kind, Element owner, const Image& picture, int width, int height);

  double scale_;
  ShadowKernel kernel_;
  std::array<Shelf, ElementCount> made_;  // by owner
  Shelf glass_;
};

}  // namespace cantiere
