// SPDX-License-Identifier: GPL-3.0-or-later
// The LCD's look as the painter draws it: blue-grey ink that lets the print
// through, a soft shadow down and to the right at about a quarter's
// opacity, a sheen on the glass; the case and buttons as they were.
#include <gtest/gtest.h>

#include <set>

#include "frontend/lcd_effects.h"
#include "frontend/surface_painter.h"

namespace cantiere {
namespace {

const PictureSet& pictures() {
  static const PictureSet p = PictureSet::builtIn();
  return p;
}

struct Scene {
  Scene() {
    surface.hide(Im_Front);  // the case open
    for (Element e : {Im_Base, Puls_GameA, Puls_Time, Im_Bar46, Im_Vite1}) surface.show(e);
  }
  QImage draw(bool effects, Millis now = 1000) {
    const LcdResponse response(surface);
    const LcdLook look{response, now};
    return renderWindow(surface, pictures(), 464, 571, {}, effects ? &look : nullptr);
  }
  Surface surface;
};

double luminance(QRgb c) { return 0.299 * qRed(c) + 0.587 * qGreen(c) + 0.114 * qBlue(c); }

TEST(LcdEffects, InkIsBlueGreyAndLetsThePrintThrough) {
  Scene s;
  const QImage plain = s.draw(false), fx = s.draw(true);
  s.surface.hide(Im_Bar46);
  s.surface.hide(Im_Vite1);
  const QImage backdrop = s.draw(false);
  int ink = 0;
  std::set<QRgb> seen;
  for (Element e : {Im_Bar46, Im_Vite1}) {
    const QRect r = elementRect(e);
    for (int y = r.top(); y <= r.bottom(); ++y)
      for (int x = r.left(); x <= r.right(); ++x) {
        if (plain.pixel(x, y) != qRgb(0, 0, 0)) continue;  // not a segment pixel
        ++ink;
        const QRgb c = fx.pixel(x, y);
        EXPECT_GT(qBlue(c), qRed(c) + 8) << x << "," << y;
        // Dark, but not black: mostly ink, a little of the backdrop.
        EXPECT_GT(luminance(c), 15) << x << "," << y;
        EXPECT_LT(luminance(c), 0.4 * luminance(backdrop.pixel(x, y))) << x << "," << y;
        seen.insert(c);
      }
  }
  EXPECT_GT(ink, 40);
  EXPECT_GT(seen.size(), 3u) << "the print beneath shows in the ink";
}

TEST(LcdEffects, AShadowFallsDownAndRightAtAboutAQuarter) {
  Scene s;
  s.surface.hide(Im_Vite1);
  const QImage plain = s.draw(false), fx = s.draw(true);
  const QRect r = elementRect(Im_Bar46);
  double darkest = 1;
  bool beyondRight = false, beyondBottom = false;
  for (int y = r.top() - 6; y <= r.bottom() + 6; ++y)
    for (int x = r.left() - 6; x <= r.right() + 6; ++x) {
      if (r.contains(x, y) && plain.pixel(x, y) == qRgb(0, 0, 0)) continue;
      const double kept = luminance(fx.pixel(x, y)) / luminance(plain.pixel(x, y));
      // Nothing above or left of the segment, and no light added.
      if (x < r.left() - 1 || y < r.top() - 1 || x > r.right() + 5 || y > r.bottom() + 5) {
        EXPECT_EQ(fx.pixel(x, y), plain.pixel(x, y)) << x << "," << y;
      }
      EXPECT_LE(kept, 1.01);
      darkest = std::min(darkest, kept);
      if (kept < 0.97) {
        beyondRight |= x > r.right();
        beyondBottom |= y > r.bottom();
      }
    }
  EXPECT_GT(darkest, 0.70);
  EXPECT_LT(darkest, 0.85);
  EXPECT_TRUE(beyondRight && beyondBottom) << "the shadow falls outside, down and to the right";
}

TEST(LcdEffects, OnlyTheScreensChangeAndTheGlassIsOnTheirs) {
  Scene s;
  s.surface.show(Im_Schermo1Top);
  const QImage plain = s.draw(false), fx = s.draw(true);
  QRegion screens(segmentPaintRect(elementRect(Im_Bar46), 1.0));
  screens += segmentPaintRect(elementRect(Im_Vite1), 1.0);
  screens += elementRect(Im_Schermo1Top);
  int brighter = 0;
  for (int y = 0; y < 571; ++y)
    for (int x = 0; x < 464; ++x) {
      if (!screens.contains(QPoint(x, y))) {
        ASSERT_EQ(fx.pixel(x, y), plain.pixel(x, y)) << "case or buttons changed at " << x << "," << y;
      } else if (elementRect(Im_Schermo1Top).contains(x, y)) {
        brighter += luminance(fx.pixel(x, y)) > luminance(plain.pixel(x, y)) + 1.5;
      }
    }
  const QRect glass = elementRect(Im_Schermo1Top);
  EXPECT_GT(brighter, glass.width() * glass.height() / 10) << "a sheen on the glass";
  EXPECT_LT(brighter, glass.width() * glass.height() * 6 / 10) << "a band, not a veil";
}

TEST(LcdEffects, ADigitsSharedStrokesStayDarkWhileItChanges) {
  Scene s;
  s.surface.copyPicture(Im_NumPos4, Im_Num8);
  const QImage eight = s.draw(false);
  LcdResponse r(s.surface);
  s.surface.copyPicture(Im_NumPos4, Im_Num0);
  r.pictureChanged(Im_NumPos4, Im_Num0, 1000);
  const QImage zero = s.draw(false);
  const LcdLook mid{r, 1015}, settled{r, 2000};
  const QImage during = renderWindow(s.surface, pictures(), 464, 571, {}, &mid);
  const QImage after = renderWindow(s.surface, pictures(), 464, 571, {}, &settled);
  const QRect digit = elementRect(Im_NumPos4);
  int shared = 0, leaving = 0;
  for (int y = digit.top(); y <= digit.bottom(); ++y)
    for (int x = digit.left(); x <= digit.right(); ++x) {
      const bool in8 = eight.pixel(x, y) == qRgb(0, 0, 0), in0 = zero.pixel(x, y) == qRgb(0, 0, 0);
      if (in8 && in0) {
        ++shared;  // as dark as settled, give or take the fading bar's shadow
        EXPECT_NEAR(luminance(during.pixel(x, y)), luminance(after.pixel(x, y)), 3) << x << "," << y;
      } else if (in8) {
        ++leaving;
        EXPECT_LT(luminance(during.pixel(x, y)), luminance(after.pixel(x, y)) - 10)
            << "the middle bar still fading at " << x << "," << y;
      }
    }
  EXPECT_GT(shared, 20);
  EXPECT_GT(leaving, 2);
}

// At any size the shadow keeps its offset and softness in window pixels and
// stays inside the rectangle the window repaints for the segment.
TEST(LcdEffects, TheShadowScalesWithTheSizeAndStaysInItsRepaintedRectangle) {
  for (int scale : {1, 2, 4}) {
    const PictureSet art = PictureSet::builtIn(scale);
    const QImage& barrel = art.picture(Im_Bar46, true);
    const QRect rect(QPoint(8, 8) * scale, barrel.size());
    const QPoint end = rect.bottomRight() + QPoint(8, 8) * scale;
    QImage image(end.x() + 1, end.y() + 1, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    const SegmentLayers layers{&barrel, 1.0f};
    drawSegmentShadow(painter, rect, layers, scale);
    painter.end();
    const QRect reach = segmentPaintRect(rect, scale);
    int right = 0, below = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x) {
        if (image.pixel(x, y) == qRgb(255, 255, 255)) continue;
        EXPECT_TRUE(reach.contains(x, y)) << scale << "x: " << x << "," << y;
        right += x > rect.right() + scale;
        below += y > rect.bottom() + scale;
      }
    EXPECT_TRUE(right && below) << scale << "x: the shadow lies down and to the right";
    EXPECT_GE(reach.right() - rect.right(), kShadowOffset * scale + 1);
    EXPECT_LE(reach.right() - rect.right(), 5 * scale) << "soft, not smeared";
  }
}

}  // namespace
}  // namespace cantiere
