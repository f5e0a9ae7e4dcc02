// SPDX-License-Identifier: GPL-3.0-or-later
// Catalogue <-> window <-> device pixels, and where the zoomed window goes on
// the screen.
#include <gtest/gtest.h>

#include "common/view/view_scale.h"
#include "common/view/window_placement.h"

namespace cantiere {
namespace {

bool same(const Rect& a, const Rect& b) {
  return a.left == b.left && a.top == b.top && a.width == b.width && a.height == b.height;
}
#define EXPECT_RECT(a, ...) EXPECT_TRUE(same(a, Rect{__VA_ARGS__})) \
  << (a).left << "," << (a).top << " " << (a).width << "x" << (a).height

TEST(ViewScale, OnlyTheOfferedSizesAreTakenFromTheStore) {
  for (int step : {100, 150, 200, 250, 300, 400}) EXPECT_EQ(ViewScale::validZoom(step), step);
  for (long long bad : {0LL, -100LL, 125LL, 500LL, 1LL << 40}) EXPECT_EQ(ViewScale::validZoom(bad), 100) << bad;
  EXPECT_EQ(ViewScale(125, 1.0).zoomPercent(), 100);
  EXPECT_EQ(ViewScale(200, 0.0).ratio(), 1.0) << "a ratio the screen cannot have";
}

TEST(ViewScale, LargerAndSmallerWalkTheStepsAndStopAtTheEnds) {
  const struct {
    int from, direction, to;
  } cases[] = {{100, +1, 150}, {150, +1, 200}, {250, +1, 300}, {300, +1, 400}, {400, +1, 400},
               {400, -1, 300}, {150, -1, 100}, {100, -1, 100}, {123, +1, 150}};
  for (const auto& c : cases) EXPECT_EQ(ViewScale::stepZoom(c.from, c.direction), c.to) << c.from;
}

TEST(ViewScale, ArtIsTheNearestOfOneToFourTimes) {
  const struct {
    double scale;
    int art;
  } cases[] = {{0.5, 1}, {1, 1}, {1.25, 1}, {1.5, 2}, {2, 2}, {2.5, 3}, {3, 3}, {3.5, 4}, {4, 4}, {8, 4}};
  for (const auto& c : cases) EXPECT_EQ(ViewScale::artScaleFor(c.scale), c.art) << c.scale;
  EXPECT_TRUE(ViewScale(300, 1.0).exactArt());
  EXPECT_TRUE(ViewScale(150, 2.0).exactArt());
  EXPECT_FALSE(ViewScale(250, 1.0).exactArt());
}

TEST(ViewScale, EdgesRoundHalfUpSoTheWindowsSizesFollow) {
  const ViewScale z150(150, 1.0);
  EXPECT_EQ(z150.toWindow(464), 696);
  EXPECT_EQ(z150.toWindow(571), 857);  // 856.5
  EXPECT_EQ(z150.toWindow(300), 450);
  EXPECT_EQ(z150.toWindow(271), 407);  // 406.5: the lid's growth
  EXPECT_EQ(z150.toWindow(-500), -750);
  EXPECT_EQ(z150.toWindow(-1), -1);  // -1.5 rounds up too
  EXPECT_EQ(ViewScale(250, 1.0).toWindow(571), 1428);
  EXPECT_EQ(ViewScale(400, 2.0).toDevice(464), 3712);
  // An element keeps its share: neighbours meet, nothing overlaps.
  EXPECT_RECT(z150.toWindow(Rect{387, 328, 20, 12}), 581, 492, 30, 18);
  EXPECT_RECT(ViewScale(150, 2.0).toDevice(Rect{387, 328, 20, 12}), 1161, 984, 60, 36);
}

TEST(ViewScale, EveryDevicePixelMapsBackToTheCataloguePixelDrawnThere) {
  for (int zoom : ViewScale::kZoomSteps)
    for (double ratio : {1.0, 1.25, 1.5, 2.0, 3.0}) {
      const ViewScale view(zoom, ratio);
      for (int d = -60; d < 2400; ++d) {
        const int c = view.deviceToCatalogue(d);
        ASSERT_LE(view.toDevice(c), d) << zoom << " " << ratio << " " << d;
        ASSERT_GT(view.toDevice(c + 1), d) << zoom << " " << ratio << " " << d;
      }
    }
}

TEST(ViewScale, WindowPointsAndRectanglesMapThroughTheDevice) {
  const ViewScale view(150, 2.0);  // 3 device pixels a catalogue pixel
  EXPECT_EQ(view.windowToCatalogue(10.2, 0.4), (CataloguePoint{6, 0}));
  EXPECT_EQ(view.windowToCatalogue(-0.1, 1.49), (CataloguePoint{-1, 0}));
  EXPECT_RECT(ViewScale(200, 1.0).catalogueCovering(Rect{3, 3, 2, 2}), 1, 1, 2, 2);
  EXPECT_RECT(ViewScale(200, 1.0).catalogueCovering(Rect{4, 4, 2, 2}), 2, 2, 1, 1);
  EXPECT_RECT(ViewScale(100, 1.5).deviceToWindow(Rect{3, 3, 2, 2}), 2, 2, 2, 2);
  EXPECT_RECT(ViewScale(100, 1.5).windowToDevice(Rect{1, 1, 1, 1}), 1, 1, 2, 2);
}

TEST(WindowPlacement, KeptInsideTheAreaOrAtItsStartWhenLarger) {
  const Rect area{0, 30, 1920, 1050};
  EXPECT_RECT(keptInside(Rect{100, 100, 464, 571}, area), 100, 100, 464, 571);
  EXPECT_RECT(keptInside(Rect{1700, -40, 464, 571}, area), 1456, 30, 464, 571);
  EXPECT_RECT(keptInside(Rect{100, 900, 464, 571}, area), 100, 509, 464, 571);
  EXPECT_RECT(keptInside(Rect{500, 500, 1856, 2284}, area), 64, 30, 1856, 2284);
  EXPECT_RECT(keptInside(Rect{500, 500, 2000, 200}, area), 0, 500, 2000, 200);
}

// The model's window as the program moves it, seen by a placement.
struct Model {
  WindowGeometry g{-500, 271, 464, 300};
  WindowPlacement placement;
  ViewScale view;
  Rect area;
  Model(int zoom, Rect screen) : view(zoom, 1.0), area(screen) { placement.follow(g, view, area); }
  const Rect& set(int left, int top, int height) {
    if (height != g.height) {
      g.height = height;
      placement.follow(g, view, area);
    }
    g.left = left;
    g.top = top;
    return placement.follow(g, view, area);
  }
};

TEST(WindowPlacement, WaitsOffScreenThenPlayAndTheLidKeepItOnScreen) {
  // 200 % on a 1920 x 1080 screen, which the model sees as 960 x 540.
  Model m(200, {0, 0, 1920, 1080});
  EXPECT_RECT(m.placement.rect(), -1000, 542, 928, 600) << "off screen until PLAY";
  // PLAY: left = (960 - 464) / 2, and the top stays 271 on a short screen,
  // which would put the closed case's bottom off screen.
  EXPECT_RECT(m.set(248, 271, 300), 496, 480, 928, 600);
  // The lid: 1142 high does not fit 1080, so it starts at the top.
  EXPECT_RECT(m.set(248, 0, 571), 496, 0, 928, 1142);

  // 150 % on a large screen: the lid grows upwards by 407, bottom fixed.
  Model big(150, {0, 0, 3840, 2160});
  const Rect closed = big.set(1048, 705, 300);
  EXPECT_RECT(closed, 1572, 1058, 696, 450);
  const Rect open = big.set(1048, 434, 571);
  EXPECT_EQ(open.top + open.height, closed.top + closed.height);
  EXPECT_EQ(open.height, 857);
}

TEST(WindowPlacement, ADragFollowsThePointerExactlyAndOnlyOnceTheModelMoves) {
  Model m(300, {0, 0, 3840, 2160});
  m.set(600, 300, 300);
  const Rect start = m.placement.rect();
  m.placement.pressed(2000, 1000);
  m.placement.pointerAt(2002, 1001);
  EXPECT_RECT(m.placement.rect(), start.left, start.top, start.width, start.height)
      << "less than a catalogue pixel: no drag yet";
  m.set(601, 300, 300);  // the model's drag step
  EXPECT_RECT(m.placement.rect(), start.left + 2, start.top + 1, start.width, start.height);
  m.placement.pointerAt(2007, 995);
  EXPECT_RECT(m.placement.rect(), start.left + 7, start.top - 5, start.width, start.height)
      << "between the model's steps of three pixels";
  m.set(602, 298, 300);  // the same drag's next steps
  EXPECT_RECT(m.placement.rect(), start.left + 7, start.top - 5, start.width, start.height)
      << "the pointer places a dragged window, not the model's steps";
  m.placement.released();
  m.placement.pointerAt(0, 0);
  EXPECT_EQ(m.placement.rect().left, start.left + 7) << "no drag after the release";
  // The lid then opens from where the drag left it.
  const Rect open = m.set(602, 27, 571);
  EXPECT_EQ(open.left, start.left + 7);
  EXPECT_EQ(open.top + open.height, start.top - 5 + start.height);
}

TEST(WindowPlacement, AChangeOfZoomKeepsTheFoldLineAndTheMiddle) {
  const Rect area{0, 0, 3840, 2160};
  const struct {
    int height, fold;  // catalogue: open case, or closed (fold at its top)
  } cases[] = {{571, 271}, {300, 0}};
  for (const auto& c : cases) {
    Model m(100, area);
    m.set(500, 600, c.height);
    const WindowGeometry g = m.g;
    const Rect& bigger = m.placement.rezoom(g, ViewScale(250, 1.0), area);
    EXPECT_EQ(bigger.top + ViewScale(250, 1.0).toWindow(c.fold), 600 + c.fold) << c.height;
    EXPECT_EQ(2 * bigger.left + bigger.width, 2 * 500 + 464) << c.height;
    EXPECT_EQ(bigger.width, 1160);
  }
  // Where the fold cannot stay, the window stays on screen.
  Model m(100, area);
  m.set(100, 50, 571);
  EXPECT_RECT(m.placement.rezoom(m.g, ViewScale(400, 1.0), area), 0, 0, 1856, 2284);
  // A window still waiting off screen stays off screen.
  Model parked(100, area);
  EXPECT_LT(parked.placement.rezoom(parked.g, ViewScale(400, 1.0), area).left + 1856, 0);
}

}  // namespace
}  // namespace cantiere
