// SPDX-License-Identifier: GPL-3.0-or-later
// The compositor: transparency, what a region and an element bound, the
// shadow's reach, pictures of the wrong size or none, the case's outline,
// and a frame that allocates nothing.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstdlib>
#include <new>

#include "render/compositor.h"
#include "render/pixel_math.h"
#include "tests/render/fake_art.h"

#ifndef CANTIERE_SANITIZE
namespace {
std::atomic<long> allocations{0};
}  // namespace

// The counting operator new below takes its memory from malloc, so free is
// its match (the compiler cannot see that through inlining).
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

void* operator new(std::size_t size) {
  ++allocations;
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
#endif

namespace cantiere::test {
namespace {

constexpr Pixel kCase = rgb(30, 90, 110), kMarker = rgb(1, 2, 3), kWhite = rgb(255, 255, 255);

// A figure inked all over but for its bottom-left pixel, the ground.
Art inked(int w, int h) {
  Art a = colourArt(w, h, rgb(0, 0, 0));
  a.colour.row(h - 1)[0] = kWhite;
  return a;
}

// The open case at a zoom, the case one colour, nothing else lit.
struct OpenCase {
  explicit OpenCase(int zoom = 100, Pixel ground = kCase) : view(zoom, 1.0), set(view.deviceScale()) {
    set.setPicture(Im_Base, Image(view.toDevice(464), view.toDevice(571), ground));
    surface.hide(Im_Front);
    surface.show(Im_Base);
  }
  Rect rect(Element e) const { return elementRect(e, view); }
  Image draw(const LcdLook* look = nullptr, bool shaped = false) const {
    return renderWindow({surface, set, view, look, shaped}, 464, 571);
  }

  ViewScale view;
  PictureSet set;
  Surface surface;
};

TEST(Compositor, KeyedAndMaskedPicturesShowTheCaseThroughTheirGround) {
  OpenCase c(200);
  Art mask = maskArt(16, 16, 255);
  mask.mask.row(0)[0] = 0, mask.mask.row(0)[1] = 100;
  c.set.setPicture(Im_Heart2, mask);
  c.set.setPicture(Puls_GameA, mask);  // not a transparent element: the picture whole
  c.surface.show(Im_Heart2);
  c.surface.show(Puls_GameA);
  const Image w = c.draw();
  const Rect heart = c.rect(Im_Heart2), button = c.rect(Puls_GameA);
  EXPECT_EQ(w.at(heart.left, heart.top), rgb(0, 0, 0));
  EXPECT_EQ(w.at(heart.left + 1, heart.top), over(argb(155, 0, 0, 0), kCase)) << "partly transparent";
  EXPECT_EQ(w.at(heart.left + 2, heart.top), kCase);
  EXPECT_EQ(w.at(button.left, button.top), rgb(0, 0, 0));
  EXPECT_EQ(w.at(button.left + 1, button.top), rgb(100, 100, 100));
  EXPECT_EQ(w.at(button.left + 2, button.top), kWhite);
}

TEST(Compositor, NothingIsDrawnOutsideTheRegionShadowsIncluded) {
  for (int zoom : {100, 150, 400})
    for (bool effects : {false, true}) {
      OpenCase c(zoom);
      const Rect bar = c.rect(Im_Bar46);
      c.set.setPicture(Im_Bar46, inked(bar.width, bar.height));
      c.surface.show(Im_Bar46);
      const LcdResponse response(c.surface);
      const LcdLook look{response, 0};
      // A region cutting through the segment and its shadow.
      const Rect region{bar.left + bar.width / 2, bar.top + bar.height / 2, bar.width, bar.height};
      Image image(c.view.toDevice(464), c.view.toDevice(571), kMarker);
      compose(image, {c.surface, c.set, c.view, effects ? &look : nullptr}, region);
      int inside = 0;
      for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
          const bool in = region.contains(x, y);
          inside += in;
          ASSERT_EQ(image.at(x, y) == kMarker, !in) << zoom << "% " << effects << " at " << x << "," << y;
        }
      EXPECT_EQ(inside, region.width * region.height);
    }
}

TEST(Compositor, EverySegmentsShadowStaysInItsPaintedRectangle) {
  for (int zoom : {100, 150, 250, 400}) {
    OpenCase c(zoom, kWhite);
    Image image(c.view.toDevice(464), c.view.toDevice(571));
    int shadows = 0, segments = 0;
    for (int i = 0; i < ElementCount; ++i) {
      const auto e = static_cast<Element>(i);
      const ElementInfo& in = info(e);
      if (!isLcd(e) || in.picture == PictureKind::Nothing) continue;
      const Element owner = in.picture == PictureKind::Copy ? in.copyOf : e;
      const Rect rect = c.rect(e), reach = paintedRect(e, c.view, true);
      c.set.setPicture(owner, inked(rect.width, rect.height));
      Surface surface;
      surface.hide(Im_Front);
      surface.show(Im_Base);
      surface.copyPicture(e, owner);
      surface.show(e);
      const LcdResponse response(surface);
      const LcdLook look{response, 0};
      const Rect around{reach.left - 8, reach.top - 8, reach.width + 16, reach.height + 16};
      compose(image, {surface, c.set, c.view, &look}, around);
      bool beyond = false;
      for (int y = around.top; y < around.top + around.height; ++y)
        for (int x = around.left; x < around.left + around.width; ++x) {
          if (image.at(x, y) == kWhite) continue;
          ASSERT_TRUE(reach.contains(x, y)) << in.name << " at " << zoom << "%: " << x << "," << y;
          beyond |= !rect.contains(x, y);
        }
      ++segments;
      shadows += beyond;
    }
    EXPECT_EQ(shadows, segments) << zoom << "%: every segment casts a shadow beyond itself";
  }
}

TEST(Compositor, PicturesOfTheWrongSizeStayInTheirElementAndNoneDrawNothing) {
  OpenCase c;
  c.set.setPicture(Im_Heart1, inked(40, 40));  // a 5 x 7 element
  c.set.setPicture(Im_Heart2, inked(3, 2));    // an 8 x 8 one
  for (Element e : {Im_Heart1, Im_Heart2, Im_Bar46}) c.surface.show(e);
  const Image w = c.draw();
  const Rect big = c.rect(Im_Heart1), small = c.rect(Im_Heart2), none = c.rect(Im_Bar46);
  EXPECT_EQ(w.at(big.left + 4, big.top + 6), rgb(0, 0, 0));
  EXPECT_EQ(w.at(big.left + 5, big.top + 3), kCase);
  EXPECT_EQ(w.at(big.left + 2, big.top + 7), kCase);
  EXPECT_EQ(w.at(small.left + 2, small.top), rgb(0, 0, 0));
  EXPECT_EQ(w.at(small.left + 3, small.top), kCase);
  EXPECT_EQ(w.at(small.left + 1, small.top + 2), kCase);
  EXPECT_EQ(w.at(none.left + 3, none.top + 3), kCase);
  PictureSet empty;
  EXPECT_EQ(renderWindow({c.surface, empty}, 464, 571).at(5, 5), kOpaqueBlack) << "no case: the background";
}

TEST(Compositor, OutsideTheCaseIsTransparentWhenAsked) {
  // A bright case on a dark ground reaching the edges, a dark hole inside.
  auto shell = [](int h) {
    Image p(464, h, rgb(10, 10, 10));
    for (int y = 6; y < h - 6; ++y)
      for (int x = 6; x < 458; ++x) p.row(y)[x] = y >= 100 && y < 110 && x >= 100 && x < 110 ? rgb(5, 5, 5) : rgb(200, 180, 160);
    return p;
  };
  OpenCase c;
  c.set.setPicture(Im_Base, shell(571));
  c.set.setPicture(Im_Front, shell(300));
  const Image shaped = c.draw(nullptr, true);
  EXPECT_EQ(shaped.at(2, 2), kTransparent);
  EXPECT_EQ(shaped.at(463, 570), kTransparent);
  EXPECT_EQ(shaped.at(232, 300), rgb(200, 180, 160));
  EXPECT_EQ(shaped.at(105, 105), rgb(5, 5, 5)) << "a dark part inside is the case's";
  EXPECT_EQ(c.draw().at(2, 2), rgb(10, 10, 10)) << "unless asked, everything is drawn";
  Image part(464, 571, kMarker);
  compose(part, {c.surface, c.set, {}, nullptr, true}, {0, 0, 3, 3});
  EXPECT_EQ(part.at(2, 2), kTransparent);
  EXPECT_EQ(part.at(4, 4), kMarker);

  Surface closed;  // the closed case: the lid's outline
  EXPECT_EQ(renderWindow({closed, c.set, {}, nullptr, true}, 464, 300).at(3, 150), kTransparent);
  PictureSet bare;
  EXPECT_EQ(renderWindow({closed, bare, {}, nullptr, true}, 464, 300).at(3, 150), kOpaqueBlack)
      << "no picture, no outline: the whole window";
}

TEST(Compositor, ANewPictureMakesNewInk) {
  OpenCase c;
  const Rect bar = c.rect(Im_Bar46);
  Art left = colourArt(bar.width, bar.height, kWhite), right = left;
  for (int y = 0; y < bar.height - 1; ++y) left.colour.row(y)[1] = right.colour.row(y)[bar.width - 2] = rgb(0, 0, 0);
  c.set.setPicture(Im_Bar46, left);
  c.surface.show(Im_Bar46);
  const LcdResponse response(c.surface);
  const LcdLook look{response, 0};
  const Image before = c.draw(&look);
  c.set.setPicture(Im_Bar46, right);
  const Image after = c.draw(&look);
  EXPECT_NE(before.at(bar.left + 1, bar.top + 1), kCase);
  EXPECT_EQ(after.at(bar.left + 1, bar.top + 1), kCase);
  EXPECT_NE(after.at(bar.left + bar.width - 2, bar.top + 1), kCase);
}

TEST(Compositor, ThePhotographsCoverTheBackgroundAndBlackFillsTheRest) {
  // The closed case's lid in a window as high as the open case, once of
  // its size and once too small to cover its element.
  for (const auto& [w, h] : {std::pair{464, 300}, std::pair{400, 250}}) {
    PictureSet set;
    set.setPicture(Im_Front, Image(w, h, kCase));
    const Surface closed;
    Image image(464, 571, kMarker);
    compose(image, {closed, set}, {0, 0, 464, 571});
    for (const auto& [x, y] : {std::pair{0, 0}, std::pair{399, 249}, std::pair{463, 299}, std::pair{0, 300},
                              std::pair{463, 570}, std::pair{420, 10}, std::pair{10, 260}}) {
      const bool photo = x < w && y < h;
      EXPECT_EQ(image.at(x, y), photo ? kCase : kOpaqueBlack) << w << ": " << x << "," << y;
    }
  }
}

TEST(Compositor, InkIsDarkBlueGreyItsShadowFaintAndADigitsSharedStrokesHold) {
  OpenCase c(100, kWhite);
  const Rect digit = c.rect(Im_NumPos4);
  // An "8" and a "0" drawn as: column 1 in both, columns 3 and 7 in the 8
  // only (7 beyond all of the 0), column 5 in the 0 only.
  Art eight = colourArt(digit.width, digit.height, kWhite), zero = eight;
  for (int y = 0; y < digit.height - 1; ++y) {
    eight.colour.row(y)[1] = eight.colour.row(y)[3] = eight.colour.row(y)[7] = rgb(0, 0, 0);
    zero.colour.row(y)[1] = zero.colour.row(y)[5] = rgb(0, 0, 0);
  }
  c.set.setPicture(Im_Num8, eight);
  c.set.setPicture(Im_Num0, zero);
  c.surface.copyPicture(Im_NumPos4, Im_Num8);
  c.surface.show(Im_NumPos4);
  LcdResponse response(c.surface);
  c.surface.copyPicture(Im_NumPos4, Im_Num0);
  response.pictureChanged(Im_NumPos4, Im_Num0, 1000);
  const LcdLook mid{response, 1015}, settled{response, 2000};
  const Image during = c.draw(&mid), after = c.draw(&settled);
  const LcdResponse zeroAlone(c.surface);
  const LcdLook alone{zeroAlone, 0};
  const Image zeroOnly = c.draw(&alone);
  auto light = [](Pixel p) { return redOf(p) * 3 + greenOf(p) * 6 + blueOf(p); };
  const int y = digit.top + 2, x = digit.left;
  const Pixel ink = after.at(x + 1, y);
  EXPECT_GT(blueOf(ink), redOf(ink) + 8) << "blue-grey";
  EXPECT_GT(light(ink), 0u) << "the print shows through";
  EXPECT_LT(light(ink), light(kWhite) * 4 / 10) << "dark";
  EXPECT_EQ(during.at(x + 1, y), ink) << "a stroke both digits have never switched";
  for (int own : {3, 7}) {
    EXPECT_GT(light(during.at(x + own, y)), light(ink)) << own << ": the 8's own stroke fades";
    EXPECT_LT(light(during.at(x + own, y)), light(zeroOnly.at(x + own, y))) << own << ": not at once";
    EXPECT_EQ(after.at(x + own, y), zeroOnly.at(x + own, y)) << own << ": faded out";
  }
  EXPECT_GT(light(during.at(x + 5, y)), light(ink)) << "the 0's own stroke darkens";
  const Pixel shadow = zeroOnly.at(x + 6, y + 2);  // beside the 0's last stroke, down and right
  EXPECT_LT(light(shadow), light(kWhite));
  EXPECT_GT(light(shadow), light(kWhite) * 7 / 10) << "a quarter's shadow";
}

// A segment alone darkens in about 40 ms and fades in about 120: half-way,
// its ink is between the paper and its settled look.
TEST(Compositor, ASegmentAloneDarkensAndFadesGradually) {
  OpenCase c(100, kWhite);
  const Rect bar = c.rect(Im_Bar46);
  c.set.setPicture(Im_Bar46, inked(bar.width, bar.height));
  LcdResponse response(c.surface);
  auto light = [](Pixel p) { return redOf(p) * 3 + greenOf(p) * 6 + blueOf(p); };
  auto inkAt = [&](Millis t) {
    const LcdLook look{response, t};
    return light(c.draw(&look).at(bar.left + bar.width / 2, bar.top));
  };
  const unsigned paper = inkAt(0);
  c.surface.show(Im_Bar46);
  response.litChanged(Im_Bar46, true, 1000);
  const unsigned darkening = inkAt(1015), dark = inkAt(1200);
  EXPECT_LT(dark, paper);
  EXPECT_LT(darkening, paper) << "under way";
  EXPECT_GT(darkening, dark) << "not at once";
  c.surface.hide(Im_Bar46);
  response.litChanged(Im_Bar46, false, 2000);
  const unsigned fading = inkAt(2040);
  EXPECT_GT(fading, dark) << "under way";
  EXPECT_LT(fading, paper) << "not at once";
  EXPECT_EQ(inkAt(2500), paper);
}

TEST(Compositor, EachScreenHasASheenOfItsOwnSize) {
  LcdEffects fx(1.0);
  const Sprite& upper = fx.glass(208, 130);
  const Sprite& lower = fx.glass(206, 130);
  EXPECT_EQ(upper.width(), 208);
  EXPECT_EQ(lower.width(), 206);
  EXPECT_EQ(&fx.glass(208, 130), &upper) << "made once";
  // The sheen runs across the diagonal: the same along each anti-diagonal.
  for (int d = 0; d < 130; ++d) EXPECT_EQ(lower.image().at(d, 129 - d), lower.image().at(129 - d, d)) << d;
}

TEST(Compositor, TheShadowsCurveIsTheExponentialsOwn) {
  for (double x : {0.0, -0.5, -1.0, -2.25, -4.5, -10.0, -33.0, -138.0})
    EXPECT_NEAR(portableExp(x) / std::exp(x), 1.0, 1e-12) << x;
  EXPECT_EQ(portableExp(-1000), 0.0);
  for (double scale : {1.0, 1.5, 4.0}) {
    const ShadowKernel k = shadowKernel(scale);
    double sum = 0;
    for (float w : k.weight) sum += w;
    EXPECT_NEAR(sum, 1.0, 1e-6) << scale;
  }
}

TEST(Compositor, AFrameOfAFadeAllocatesNothing) {
#ifdef CANTIERE_SANITIZE
  GTEST_SKIP() << "the sanitizers own operator new";
#else
  OpenCase c(400);
  for (Element e : {Im_Bar46, Im_Num8, Im_Num0}) {
    const Rect r = c.rect(e);
    c.set.setPicture(e, inked(r.width, r.height));
  }
  c.surface.show(Im_Bar46);
  c.surface.copyPicture(Im_NumPos4, Im_Num8);
  c.surface.show(Im_NumPos4);
  LcdResponse response(c.surface);
  response.litChanged(Im_Bar46, false, 1000);
  response.pictureChanged(Im_NumPos4, Im_Num0, 1000);  // two pictures at once
  c.surface.copyPicture(Im_NumPos4, Im_Num0);
  Image image(c.view.toDevice(464), c.view.toDevice(571));
  const Rect bar = paintedRect(Im_Bar46, c.view, true), digit = paintedRect(Im_NumPos4, c.view, true);
  // Each layer is made the first time it shows: at the change and as the
  // new digit darkens.
  for (Millis t : {1000, 1050}) {
    const LcdLook first{response, t};
    compose(image, {c.surface, c.set, c.view, &first, true}, image.rect());
  }
  const long before = allocations.load();
  for (Millis t = 1010; t <= 1100; t += 10) {
    const LcdLook look{response, t};
    compose(image, {c.surface, c.set, c.view, &look, true}, bar);
    compose(image, {c.surface, c.set, c.view, &look, true}, digit);
  }
  EXPECT_EQ(allocations.load() - before, 0);
#endif
}

}  // namespace
}  // namespace cantiere::test
