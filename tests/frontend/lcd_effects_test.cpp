// SPDX-License-Identifier: GPL-3.0-or-later
// The LCD's look as the renderer draws it: blue-grey ink that lets the print
// through, a soft shadow down and to the right at about a quarter's
// opacity, a sheen on the glass; the case and buttons as they were.
#include <gtest/gtest.h>

#include <set>

#include "render/art_files.h"
#include "render/compositor.h"

namespace cantiere {
namespace {

const PictureSet& pictures() {
  static const PictureSet p = builtInPictures();
  return p;
}

struct Scene {
  Scene() {
    surface.hide(Im_Front);  // the case open
    for (Element e : {Im_Base, Puls_GameA, Puls_Time, Im_Bar46, Im_Vite1}) surface.show(e);
  }
  Image draw(bool effects, Millis now = 1000) {
    const LcdResponse response(surface);
    const LcdLook look{response, now};
    return renderWindow({surface, pictures(), {}, effects ? &look : nullptr}, 464, 571);
  }
  Surface surface;
};

double luminance(Pixel c) { return 0.299 * redOf(c) + 0.587 * greenOf(c) + 0.114 * blueOf(c); }
bool contains(const Rect& r, int x, int y) { return r.contains(x, y); }

TEST(LcdEffects, InkIsBlueGreyAndLetsThePrintThrough) {
  Scene s;
  const Image plain = s.draw(false), fx = s.draw(true);
  s.surface.hide(Im_Bar46);
  s.surface.hide(Im_Vite1);
  const Image backdrop = s.draw(false);
  int ink = 0;
  std::set<Pixel> seen;
  for (Element e : {Im_Bar46, Im_Vite1}) {
    const Rect r = elementRect(e);
    for (int y = r.top; y < r.top + r.height; ++y)
      for (int x = r.left; x < r.left + r.width; ++x) {
        if (plain.at(x, y) != kOpaqueBlack) continue;  // not a segment pixel
        ++ink;
        const Pixel c = fx.at(x, y);
        EXPECT_GT(blueOf(c), redOf(c) + 8) << x << "," << y;
        // Dark, but not black: mostly ink, a little of the backdrop.
        EXPECT_GT(luminance(c), 15) << x << "," << y;
        EXPECT_LT(luminance(c), 0.4 * luminance(backdrop.at(x, y))) << x << "," << y;
        seen.insert(c);
      }
  }
  EXPECT_GT(ink, 40);
  EXPECT_GT(seen.size(), 3u) << "the print beneath shows in the ink";
}

TEST(LcdEffects, AShadowFallsDownAndRightAtAboutAQuarter) {
  Scene s;
  s.surface.hide(Im_Vite1);
  const Image plain = s.draw(false), fx = s.draw(true);
  const Rect r = elementRect(Im_Bar46);
  const int right = r.left + r.width - 1, bottom = r.top + r.height - 1;
  double darkest = 1;
  bool beyondRight = false, beyondBottom = false;
  for (int y = r.top - 6; y <= bottom + 6; ++y)
    for (int x = r.left - 6; x <= right + 6; ++x) {
      if (contains(r, x, y) && plain.at(x, y) == kOpaqueBlack) continue;
      const double kept = luminance(fx.at(x, y)) / luminance(plain.at(x, y));
      // Nothing above or left of the segment, and no light added.
      if (x < r.left - 1 || y < r.top - 1 || x > right + 5 || y > bottom + 5) {
        EXPECT_EQ(fx.at(x, y), plain.at(x, y)) << x << "," << y;
      }
      EXPECT_LE(kept, 1.01);
      darkest = std::min(darkest, kept);
      if (kept < 0.97) {
        beyondRight |= x > right;
        beyondBottom |= y > bottom;
      }
    }
  EXPECT_GT(darkest, 0.70);
  EXPECT_LT(darkest, 0.85);
  EXPECT_TRUE(beyondRight && beyondBottom) << "the shadow falls outside, down and to the right";
}

TEST(LcdEffects, OnlyTheScreensChangeAndTheGlassIsOnTheirs) {
  Scene s;
  s.surface.show(Im_Schermo1Top);
  const Image plain = s.draw(false), fx = s.draw(true);
  const Rect glass = elementRect(Im_Schermo1Top);
  const Rect screens[] = {segmentPaintRect(elementRect(Im_Bar46), 1.0),
                          segmentPaintRect(elementRect(Im_Vite1), 1.0), glass};
  int brighter = 0;
  for (int y = 0; y < 571; ++y)
    for (int x = 0; x < 464; ++x) {
      bool onScreen = false;
      for (const Rect& r : screens) onScreen |= contains(r, x, y);
      if (!onScreen) {
        ASSERT_EQ(fx.at(x, y), plain.at(x, y)) << "case or buttons changed at " << x << "," << y;
      } else if (contains(glass, x, y)) {
        brighter += luminance(fx.at(x, y)) > luminance(plain.at(x, y)) + 1.5;
      }
    }
  EXPECT_GT(brighter, glass.width * glass.height / 10) << "a sheen on the glass";
  EXPECT_LT(brighter, glass.width * glass.height * 6 / 10) << "a band, not a veil";
}

TEST(LcdEffects, ADigitsSharedStrokesStayDarkWhileItChanges) {
  Scene s;
  s.surface.copyPicture(Im_NumPos4, Im_Num8);
  const Image eight = s.draw(false);
  LcdResponse r(s.surface);
  s.surface.copyPicture(Im_NumPos4, Im_Num0);
  r.pictureChanged(Im_NumPos4, Im_Num0, 1000);
  const Image zero = s.draw(false);
  const LcdLook mid{r, 1015}, settled{r, 2000};
  const Image during = renderWindow({s.surface, pictures(), {}, &mid}, 464, 571);
  const Image after = renderWindow({s.surface, pictures(), {}, &settled}, 464, 571);
  const Rect digit = elementRect(Im_NumPos4);
  int shared = 0, leaving = 0;
  for (int y = digit.top; y < digit.top + digit.height; ++y)
    for (int x = digit.left; x < digit.left + digit.width; ++x) {
      const bool in8 = eight.at(x, y) == kOpaqueBlack, in0 = zero.at(x, y) == kOpaqueBlack;
      if (in8 && in0) {
        ++shared;  // as dark as settled, give or take the fading bar's shadow
        EXPECT_NEAR(luminance(during.at(x, y)), luminance(after.at(x, y)), 3) << x << "," << y;
      } else if (in8) {
        ++leaving;
        EXPECT_LT(luminance(during.at(x, y)), luminance(after.at(x, y)) - 10)
            << "the middle bar still fading at " << x << "," << y;
      }
    }
  EXPECT_GT(shared, 20);
  EXPECT_GT(leaving, 2);
}

// At any size the shadow keeps its offset and softness in window pixels and
// stays inside the rectangle the window repaints for the segment.
TEST(LcdEffects, TheShadowScalesWithTheSizeAndStaysInItsRepaintedRectangle) {
  for (int zoom : {100, 200, 400}) {
    const ViewScale view(zoom, 1.0);
    const int scale = zoom / 100;
    PictureSet art = builtInPictures(view.deviceScale());
    // A white case, so the shadow is all that darkens it.
    art.setPicture(Im_Base, Image(view.toDevice(464), view.toDevice(571), rgb(255, 255, 255)));
    Surface surface;
    surface.hide(Im_Front);
    surface.show(Im_Base);
    surface.show(Im_Bar46);
    const LcdResponse response(surface);
    const LcdLook look{response, 1000};
    const Image image = renderWindow({surface, art, view, &look}, 464, 571);
    const Rect rect = elementRect(Im_Bar46, view);
    const Rect reach = paintedRect(Im_Bar46, view, true);
    int right = 0, below = 0;
    for (int y = 0; y < image.height; ++y)
      for (int x = 0; x < image.width; ++x) {
        if (image.at(x, y) == rgb(255, 255, 255) || contains(rect, x, y)) continue;
        EXPECT_TRUE(contains(reach, x, y)) << scale << "x: " << x << "," << y;
        right += x > rect.left + rect.width - 1 + scale;
        below += y > rect.top + rect.height - 1 + scale;
      }
    EXPECT_TRUE(right && below) << scale << "x: the shadow lies down and to the right";
    const int beyond = (reach.left + reach.width) - (rect.left + rect.width);
    EXPECT_GE(beyond, kShadowOffset * scale + 1);
    EXPECT_LE(beyond, 5 * scale) << "soft, not smeared";
  }
}

}  // namespace
}  // namespace cantiere
