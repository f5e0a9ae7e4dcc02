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

TEST(ViewScale, ArtIsTheNextOfOneToFourTimesNeverEnlarged) {
  const struct {
    double scale;
    int art;
  } cases[] = {{0.5, 1}, {1, 1}, {1.25, 2}, {1.5, 2}, {2, 2}, {2.25, 3}, {2.5, 3}, {3, 3}, {3.5, 4}, {4, 4}, {8, 4}};
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
  // An empty device rectangle touches no catalogue pixel, wherever it lies.
  for (const Rect& empty : {Rect{3, 3, 0, 2}, Rect{3, 3, 2, 0}, Rect{4, 4, 0, 0}}) {
    const Rect r = ViewScale(200, 1.0).catalogueCovering(empty);
    EXPECT_TRUE(r.width == 0 && r.height == 0) << r.width << "x" << r.height;
  }
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
  Monitors area;
  Model(int zoom, Rect screen) : Model(zoom, Monitors{{screen, screen}}) {}
  Model(int zoom, Monitors monitors) : view(zoom, 1.0), area(std::move(monitors)) {
    placement.follow(g, view, area);
  }
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
  const Monitors area{{{0, 0, 3840, 2160}, {0, 0, 3840, 2160}}};
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
  const Rect before = m.placement.rect();
  EXPECT_RECT(m.placement.rezoom(m.g, ViewScale(400, 1.0), area), 0, 0, 1856, 2284);
  // and zooming back puts it where it was, however far it had to go.
  m.placement.rezoom(m.g, ViewScale(200, 1.0), area);
  EXPECT_RECT(m.placement.rezoom(m.g, ViewScale(100, 1.0), area), before.left, before.top, 464, 571);
  // A window still waiting off screen stays off screen.
  Model parked(100, area);
  EXPECT_LT(parked.placement.rezoom(parked.g, ViewScale(400, 1.0), area).left + 1856, 0);
}

// Two monitors: a 1920 x 1080 one at the left, the primary 3840 x 2160 at
// its right with a 40-pixel panel along its top; and where the case is.
const Monitors kTwo{{{1920, 0, 3840, 2160}, {1920, 40, 3840, 2120}},
                    {{0, 0, 1920, 1080}, {0, 0, 1920, 1080}}};

TEST(WindowPlacement, PlayCentresOnThePrimaryMonitorAndNeverLandsOffIt) {
  // The model sees the primary alone: left (3840 - 464) / 2, top
  // (2160 - 300 + 271) / 2.
  Model m(100, kTwo);
  EXPECT_RECT(m.set(1688, 1065, 300), 3608, 1065, 464, 300);
  // 400 % on 1920 x 1080, seen as 480 x 270: the model's top stays 271,
  // below the screen; the case lands on it all the same, at its bottom.
  Model low(400, Rect{0, 0, 1920, 1080});
  EXPECT_RECT(low.set(8, 271, 300), 32, 0, 1856, 1200) << "taller than the screen: at its top";
  Model wide(300, Rect{0, 0, 1366, 768});
  EXPECT_RECT(wide.set(-4, 271, 300), 0, 0, 1392, 900);
  Model fits(150, Rect{0, 0, 1366, 768});
  EXPECT_RECT(fits.set(227, 271, 300), 341, 318, 696, 450);
}

TEST(WindowPlacement, MovesAndZoomsStayOnTheMonitorTheCaseIsOn) {
  Model m(100, kTwo);
  m.set(1688, 1065, 300);
  // Dragged to the left monitor, then larger: it stays there, kept inside.
  m.placement.pressed(3700, 1100);
  m.set(1688 - 1500, 1065 - 200, 300);
  m.placement.pointerAt(3700 - 1500, 1100 - 200);
  m.placement.released();
  EXPECT_RECT(m.placement.rect(), 2108, 865, 464, 300);
  m.placement.pointerAt(3700 - 1500 - 1000, 1100 - 200);  // not a drag any more
  m.placement.pressed(2200, 900);
  m.set(1688 - 1500 - 1000, 1065 - 200, 300);
  m.placement.pointerAt(1200, 900);
  m.placement.released();
  EXPECT_RECT(m.placement.rezoom(m.g, ViewScale(300, 1.0), kTwo), 528, 180, 1392, 900);
  // The lid opens on that monitor too, kept inside it.
  m.g.height = 571;
  m.placement.follow(m.g, ViewScale(300, 1.0), kTwo);
  m.g.top -= 271;
  EXPECT_RECT(m.placement.follow(m.g, ViewScale(300, 1.0), kTwo), 528, 0, 1392, 1713);
}

TEST(WindowPlacement, WhereTheWindowManagerPutsItIsItsPlace) {
  Model m(200, {0, 0, 1920, 1080});
  m.set(248, 271, 300);
  EXPECT_RECT(m.placement.heldAt(300, 200), 300, 200, 928, 600);
  EXPECT_RECT(m.placement.rect(), 300, 200, 928, 600);
  EXPECT_RECT(m.placement.movedTo(50, 60), 50, 60, 928, 600);
  EXPECT_RECT(m.placement.rect(), 50, 60, 928, 600);
}

TEST(WindowPlacement, AMonitorIsTheOneHoldingTheMiddleElseTheMostOverlapped) {
  const struct {
    Rect window;
    int monitor;  // index in kTwo
  } cases[] = {{{100, 100, 464, 300}, 1},  {{1600, 100, 464, 300}, 1}, {{1700, 100, 464, 300}, 0},
               {{1720, 900, 464, 300}, 0}, {{-300, 500, 464, 300}, 1}, {{-900, 500, 464, 300}, 0},
               {{9000, 9000, 4, 4}, 0},    {{1900, 1000, 464, 300}, 0}};
  for (const auto& c : cases)
    EXPECT_EQ(monitorOf(c.window, kTwo), &kTwo[c.monitor]) << c.window.left << "," << c.window.top;
  EXPECT_EQ(monitorOf({0, 0, 1, 1}, {}), nullptr);
  // Stacked: a middle on the lower one's top row is on it, though the
  // window overlaps both alike; a single pixel of overlap is still most.
  const Monitors stacked{{{0, 0, 1000, 500}, {0, 0, 1000, 500}},
                         {{0, 500, 1000, 500}, {0, 500, 1000, 500}}};
  EXPECT_EQ(monitorOf({100, 300, 400, 400}, stacked), &stacked[1]);
  const Monitors apart{{{0, 0, 500, 500}, {0, 0, 500, 500}},
                       {{1000, 1000, 500, 500}, {1000, 1000, 500, 500}}};
  EXPECT_EQ(monitorOf({998, 998, 3, 3}, apart), &apart[1]);
}

TEST(WindowPlacement, TheLargestSizeWhoseOpenCaseFitsIsShown) {
  const struct {
    int wanted, width, height, shown;
  } cases[] = {{400, 1920, 1080, 150}, {400, 1920, 1050, 150}, {200, 1366, 768, 100},
               {150, 1366, 768, 100},  {400, 3840, 2160, 300}, {300, 3840, 2160, 300},
               {250, 3840, 2160, 250}, {400, 1856, 2284, 400}, {400, 1855, 2284, 300},
               {200, 928, 1142, 200},  {200, 928, 1141, 150},  {100, 640, 480, 100},
               {125, 3840, 2160, 100}, {400, 1, 2160, 100},   {400, 3840, 1, 100}};
  for (const auto& c : cases)
    EXPECT_EQ(fittingZoom(c.wanted, Rect{0, 0, c.width, c.height}), c.shown)
        << c.wanted << " on " << c.width << "x" << c.height;
  EXPECT_EQ(fittingZoom(400, Rect{0, 0, 0, 0}), 400) << "a screen of unknown size";
}

}  // namespace
}  // namespace cantiere
