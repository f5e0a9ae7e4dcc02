// SPDX-License-Identifier: GPL-3.0-or-later
// The case's outline: the dark ground that reaches the edges is outside,
// everything else (dark parts within included) is the case.
#include <gtest/gtest.h>

#include "render/case_outline.h"

namespace cantiere {
namespace {

// 12 x 8: a bright case on a dark ground, a notch from the top edge, a dark
// hole inside, and half-transparent pixels at the right.
Image shell() {
  const char* rows[] = {"............",  //
                        "..###.####..",  //
                        ".#########~.",  //
                        ".####..###~.",  //
                        ".####..###..",  //
                        ".#########..",  //
                        "..#######...",  //
                        "............"};
  Image p(12, 8);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 12; ++x)
      p.row(y)[x] = rows[y][x] == '#' ? rgb(200, 190, 180) : rows[y][x] == '~' ? argb(100, 90, 90, 90) : rgb(20, 39, 12);
  p.row(3)[5] = p.row(3)[6] = p.row(4)[5] = p.row(4)[6] = rgb(0, 0, 0);  // the hole
  return p;
}

TEST(CaseOutline, TheGroundReachingTheEdgesIsOutsideAndDarkPartsWithinAreCase) {
  const CaseOutline o = CaseOutline::of(shell());
  const struct {
    int x, y;
    bool inside;
  } cases[] = {{0, 0, false}, {5, 1, false}, {2, 1, true}, {5, 3, true}, {6, 4, true},
               {10, 2, false}, {9, 2, true}, {1, 6, false}, {2, 6, true}, {11, 7, false}, {-1, 3, false}, {3, 8, false}};
  for (const auto& c : cases) EXPECT_EQ(o.contains(c.x, c.y), c.inside) << c.x << "," << c.y;
  EXPECT_EQ(std::vector<Span>(o.begin(1), o.end(1)), (std::vector<Span>{{2, 5}, {6, 10}}));
  EXPECT_TRUE(CaseOutline::of(Image()).empty());
}

TEST(CaseOutline, TheGroundIsFollowedInEveryDirectionFromTheEdges) {
  // An inlet of ground from each side that only a flood in one direction
  // reaches; the case touches the picture's edges elsewhere.
  const struct {
    const char* rows[5];
    int x, y;  // the inlet's far end
  } inlets[] = {{{"#####", "#....", "#####", "#####", "#####"}, 1, 1},
                {{"#####", "....#", "#####", "#####", "#####"}, 3, 1},
                {{"##.##", "##.##", "##.##", "#####", "#####"}, 2, 2},
                {{"#####", "#####", "##.##", "##.##", "##.##"}, 2, 2}};
  for (const auto& inlet : inlets) {
    Image p(5, 5);
    for (int y = 0; y < 5; ++y)
      for (int x = 0; x < 5; ++x) p.row(y)[x] = inlet.rows[y][x] == '#' ? rgb(90, 90, 90) : rgb(0, 0, 0);
    const CaseOutline o = CaseOutline::of(p);
    for (int y = 0; y < 5; ++y)
      for (int x = 0; x < 5; ++x) EXPECT_EQ(o.contains(x, y), inlet.rows[y][x] == '#') << inlet.x << "," << inlet.y << ": " << x << "," << y;
    EXPECT_EQ(o.begin(4)->left, 0);
  }
}

TEST(CaseOutline, ItsRectanglesAreItsSpansInBands) {
  const CaseOutline o = CaseOutline::of(shell());
  const std::vector<Rect> rects = o.rectangles();
  int covered = 0;
  for (std::size_t i = 0; i < rects.size(); ++i) {
    covered += rects[i].width * rects[i].height;
    if (i == 0) continue;
    const Rect &a = rects[i - 1], &b = rects[i];
    EXPECT_TRUE(a.top < b.top || (a.top == b.top && a.height == b.height && a.left + a.width < b.left)) << i;
  }
  int inside = 0;
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 12; ++x) {
      inside += o.contains(x, y);
      bool inRect = false;
      for (const Rect& r : rects) inRect |= r.contains(x, y);
      EXPECT_EQ(inRect, o.contains(x, y)) << x << "," << y;
    }
  EXPECT_EQ(covered, inside) << "no rectangles overlap";
  EXPECT_EQ(rects.size(), 4u) << "rows 2 to 5, of one span, run together";
}

TEST(CaseOutline, ClearingTouchesOnlyTheRegionOutsideTheOutline) {
  const CaseOutline o = CaseOutline::of(shell());
  Image target(20, 12, rgb(1, 1, 1));
  clearOutside(target, o, 4, 2, {0, 0, 12, 6});
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < 20; ++x) {
      const bool region = x < 12 && y < 6;
      EXPECT_EQ(target.at(x, y) == kTransparent, region && !o.contains(x - 4, y - 2)) << x << "," << y;
    }
}

}  // namespace
}  // namespace cantiere
