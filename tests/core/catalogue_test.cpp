// SPDX-License-Identifier: GPL-3.0-or-later
// The element catalogue, the picture copies and the element tables.
#include <map>
#include <set>
#include <string>

#include "tests/core/test_support.h"

namespace cantiere::test {
namespace {

TEST(Catalogue, HoldsEveryElementOnceInStackingOrder) {
  ASSERT_EQ(ElementCount, 118);
  std::set<std::string> names;
  std::map<Group, int> groups;
  int shownAtStart = 0;
  for (int i = 0; i < ElementCount; ++i) {
    const auto e = static_cast<Element>(i);
    names.insert(nameOf(e));
    EXPECT_EQ(elementByName(nameOf(e)), e);
    ++groups[info(e).group];
    shownAtStart += info(e).shownAtStart;
  }
  EXPECT_EQ(names.size(), 118u);
  EXPECT_FALSE(elementByName("Im_Bar99").has_value());
  EXPECT_EQ(groups[Group::Case], 2);
  EXPECT_EQ(groups[Group::Button], 8);
  EXPECT_EQ(groups[Group::UpperScreen], 50);
  EXPECT_EQ(groups[Group::LowerScreen], 46);
  EXPECT_EQ(groups[Group::GlyphSource], 10);
  EXPECT_EQ(groups[Group::ScreenOverlay], 2);
  EXPECT_EQ(shownAtStart, 7);  // the digit positions, the closed case, the cross pad
  // The opened case lowest; the overlays over every LCD element, so presses
  // on the screens drag; the closed case over all of them.
  EXPECT_EQ(static_cast<Element>(0), Im_Base);
  for (int i = 0; i < ElementCount; ++i) {
    const auto e = static_cast<Element>(i);
    if (!isLcd(e)) continue;
    EXPECT_LT(e, Im_Schermo1Top) << nameOf(e);
    EXPECT_LT(e, Im_Schermo2Top) << nameOf(e);
    EXPECT_LT(e, Im_Front) << nameOf(e);
  }
}

// Every LCD element lies on its own screen, under that screen's overlay,
// and is a transparent one-bit picture (the digit positions have none of
// their own); everything lies in the open window.
TEST(Catalogue, LcdElementsLieInsideTheirScreens) {
  auto inside = [](const Rect& r, const Rect& outer) {
    return r.left >= outer.left && r.top >= outer.top &&
           r.left + r.width <= outer.left + outer.width &&
           r.top + r.height <= outer.top + outer.height;
  };
  const Rect window{0, 0, 464, 571};
  for (int i = 0; i < ElementCount; ++i) {
    const auto e = static_cast<Element>(i);
    const ElementInfo& in = info(e);
    EXPECT_TRUE(inside(in.rect, window)) << in.name;
    if (!isLcd(e)) continue;
    const Element screen = in.group == Group::UpperScreen ? Im_Schermo1Top : Im_Schermo2Top;
    EXPECT_TRUE(inside(in.rect, info(screen).rect)) << in.name;
    EXPECT_TRUE(in.transparent) << in.name;
    const bool digitPosition = std::string(in.name).rfind("Im_NumPos", 0) == 0;
    EXPECT_EQ(in.picture == PictureKind::Nothing, digitPosition) << in.name;
    EXPECT_NE(in.picture, PictureKind::Photo) << in.name;
  }
}

TEST(Catalogue, CopiesAreTheSizeOfTheirSource) {
  int copies = 0;
  for (int i = 0; i < ElementCount; ++i) {
    const ElementInfo& in = info(static_cast<Element>(i));
    if (in.picture != PictureKind::Copy) continue;
    ++copies;
    const Rect& src = info(in.copyOf).rect;
    EXPECT_EQ(in.rect.width, src.width) << in.name;
    EXPECT_EQ(in.rect.height, src.height) << in.name;
  }
  EXPECT_EQ(copies, 14);
}

TEST(ElementTables, CellsCarryTheirColumnAndRowInTheirNames) {
  ElementTables t;
  t.fill();
  int barrels = 0;
  for (int c = 1; c <= 6; ++c) {
    for (int r = 1; r <= 7; ++r) {
      const Element e = t.BarrelSeg(c, r);
      const bool filled = r >= 4 ? (r != 5 || c == 1) : c % 2 == 0;
      ASSERT_EQ(e != NoElement, filled) << c << "," << r;
      if (e == NoElement) continue;
      ++barrels;
      const std::string name = nameOf(e);
      EXPECT_EQ(name.substr(name.size() - 2), std::to_string(c) + std::to_string(r));
    }
  }
  EXPECT_EQ(barrels, 9 + 6 + 1 + 6 + 6);
  int poses = 0;
  for (int c = 2; c <= 6; ++c)
    for (int r = 2; r <= 7; ++r)
      if (t.OminoPose(c, r) != NoElement) ++poses;
  EXPECT_EQ(poses, 3 + 1 + 1 + 5 + 5);
  EXPECT_EQ(t.OminoPose(2, 2), Im_Omino22B);  // the standing pose at the lever
  EXPECT_EQ(t.OrcoPose(4).Down, Im_Orco4Down);
  EXPECT_EQ(t.OrcoPose(3).Up, NoElement);
  EXPECT_EQ(t.BeamSeg(2), Im_Trave2);
  EXPECT_EQ(t.DigitGlyph(7), Im_Num7);
  EXPECT_EQ(t.outOfRangeReads(), 0);
}

// The grid is the screens' geometry: along a row the cells go left to right
// by column, down a column they go top to bottom by row, and rows 1 to 4
// are on the upper screen, 5 to 7 on the lower.
TEST(ElementTables, CellsLieOnTheGridTheirNumbersGive) {
  ElementTables t;
  t.fill();
  for (int r = 1; r <= 7; ++r) {
    const Group screen = r <= 4 ? Group::UpperScreen : Group::LowerScreen;
    int lastLeft = -1;
    for (int c = 1; c <= 6; ++c) {
      const Element pose = c >= 2 && r >= 2 ? t.OminoPose(c, r) : NoElement;
      for (Element e : {t.BarrelSeg(c, r), pose}) {
        if (e == NoElement) continue;
        EXPECT_EQ(info(e).group, screen) << nameOf(e);
      }
      const Element e = t.BarrelSeg(c, r);
      if (e == NoElement) continue;
      EXPECT_GT(info(e).rect.left, lastLeft) << nameOf(e);
      lastLeft = info(e).rect.left;
    }
  }
  for (int c = 1; c <= 6; ++c) {
    int lastTop = -1;
    for (int r = 1; r <= 7; ++r) {
      const Element e = t.BarrelSeg(c, r);
      if (e == NoElement) continue;
      EXPECT_GT(info(e).rect.top, lastTop) << nameOf(e);
      lastTop = info(e).rect.top;
    }
  }
  for (int r : {2, 6, 7}) {
    int lastLeft = -1;
    for (int c = 2; c <= 6; ++c) {
      const Element e = t.OminoPose(c, r);
      if (e == NoElement) continue;
      EXPECT_GT(info(e).rect.left, lastLeft) << nameOf(e);
      lastLeft = info(e).rect.left;
    }
  }
  // The small tables by their names' numbers.
  for (int d = 0; d <= 9; ++d) EXPECT_EQ(nameOf(t.DigitGlyph(d)), "Im_Num" + std::to_string(d));
  for (int p = 1; p <= 4; ++p) EXPECT_EQ(nameOf(t.DigitPos(p)), "Im_NumPos" + std::to_string(p));
  for (int k = 1; k <= 4; ++k) EXPECT_EQ(nameOf(t.KeyPiece(k)), "Im_Key" + std::to_string(k));
  for (int k = 1; k <= 5; ++k) EXPECT_EQ(nameOf(t.HookFrame(k)), "Im_Gancio" + std::to_string(k));
  for (int c = 2; c <= 6; ++c) EXPECT_EQ(nameOf(t.BeamSeg(c)), "Im_Trave" + std::to_string(c));
  for (int i = 1; i <= 3; ++i) EXPECT_EQ(nameOf(t.LifeIcon(i)), "Im_Vite" + std::to_string(i));
  for (int c = 2; c <= 6; c += 2) {
    EXPECT_EQ(nameOf(t.OrcoPose(c).Up), "Im_Orco" + std::to_string(c) + "Up");
    EXPECT_EQ(nameOf(t.OrcoPose(c).Down), "Im_Orco" + std::to_string(c) + "Down");
  }
  EXPECT_EQ(t.outOfRangeReads(), 0);
}

TEST(ElementTables, ReadsOutsideATableAreEmptyAndCounted) {
  ElementTables t;
  t.fill();
  EXPECT_EQ(t.BarrelSeg(0, 7), NoElement);
  EXPECT_EQ(t.OminoPose(0, 0), NoElement);
  EXPECT_EQ(t.DigitGlyph(-1), NoElement);
  EXPECT_EQ(t.DigitGlyph(10), NoElement);
  EXPECT_EQ(t.HookFrame(6), NoElement);
  EXPECT_EQ(t.OminoPose(2, 8), NoElement);
  EXPECT_EQ(t.OminoPose(7, 6), NoElement);
  EXPECT_EQ(t.OminoPose(1, 6), NoElement);
  EXPECT_EQ(t.OrcoPose(7).Up, NoElement);
  EXPECT_EQ(t.OrcoPose(1).Down, NoElement);
  EXPECT_EQ(t.outOfRangeReads(), 10);
}

TEST(FormCreate, LeavesTheClosedCaseWithCopiesMadeAndScoresRead) {
  Rig rig;
  rig.settings.values["hiscorea"] = 120;
  rig.settings.values["hiscoreb"] = 7;
  rig.program.start();
  EXPECT_EQ(rig.h.window().height, 300);
  EXPECT_EQ(rig.h.window().left, -500);
  EXPECT_EQ(rig.h.window().top, 271);
  EXPECT_EQ(rig.litNames(), (std::vector<std::string>{"Im_NumPos1", "Im_NumPos2", "Im_NumPos3",
                                                      "Im_NumPos4", "Im_Front", "Puls_Cross1",
                                                      "Puls_Cross2"}));
  EXPECT_EQ(rig.digits(), "----");
  EXPECT_EQ(rig.g.HiScoreA, 120);
  EXPECT_EQ(rig.g.HiScoreB, 7);
  EXPECT_EQ(rig.g.GameMode, ModeAllLit);
  EXPECT_EQ(rig.h.surface.picture(Im_Bar64), Im_Bar24);
  EXPECT_EQ(rig.h.surface.picture(Im_Bar15), Im_Bar44);
  EXPECT_EQ(rig.h.surface.picture(Im_Vite3), Im_Vite1);
  EXPECT_EQ(rig.h.surface.picture(Im_Bar46), Im_Bar46);
  // A copy is independent of its source.
  rig.h.surface.copyPicture(Im_Bar24, Im_Num3);
  EXPECT_EQ(rig.h.surface.picture(Im_Bar64), Im_Bar24);
  // Every timer disabled, with its interval as created.
  const std::pair<TimerId, std::uint32_t> created[] = {
      {TimerClock, 1000},  {TimerGioco, 500},     {TimerMove, 330},    {TimerJump, 1},
      {TimerLeva, 250},    {TimerGancio, 450},    {Timer_Cade, 500},   {Timer_Cade2, 500},
      {TimerNonCade, 1},   {TimerBonus, 1},       {TimerMiss, 150},    {TimerMissTrave, 150},
      {Timer_Chance, 500}, {TimerBlink, 500},     {TimerOver, 1000},   {TimerOver2, 300000}};
  ASSERT_EQ(std::size(created), static_cast<std::size_t>(TimerCount));
  for (const auto& [timer, interval] : created) {
    EXPECT_FALSE(rig.h.timerEnabled(timer)) << timerName(timer);
    EXPECT_EQ(rig.h.timerInterval(timer), interval) << timerName(timer);
  }
}

}  // namespace
}  // namespace cantiere::test
