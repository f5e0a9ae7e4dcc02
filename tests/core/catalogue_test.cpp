// The element catalogue, the picture copies and the element tables.
#include <set>
#include <string>

#include "tests/core/test_support.h"

namespace cantiere::test {
namespace {

TEST(Catalogue, HoldsEveryElementOnceInStackingOrder) {
  ASSERT_EQ(ElementCount, 118);
  std::set<std::string> names;
  for (int i = 0; i < ElementCount; ++i) names.insert(nameOf(static_cast<Element>(i)));
  EXPECT_EQ(names.size(), 118u);
  EXPECT_EQ(Im_Base, 0);                // lowest
  EXPECT_EQ(Im_Schermo1Top, 111);       // overlays above every LCD element
  EXPECT_EQ(Im_Front, 115);
  EXPECT_EQ(Puls_Cross2, 117);          // topmost
  EXPECT_EQ(elementByName("Im_Bar46"), Im_Bar46);
  EXPECT_FALSE(elementByName("Im_Bar99").has_value());
  const Rect r = info(Im_Omino62A).rect;
  EXPECT_EQ(r.left, 257);
  EXPECT_EQ(r.top, 136);
  EXPECT_EQ(r.width, 21);
  EXPECT_EQ(r.height, 26);
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

TEST(ElementTables, ReadsOutsideATableAreEmptyAndCounted) {
  ElementTables t;
  t.fill();
  EXPECT_EQ(t.BarrelSeg(0, 7), NoElement);
  EXPECT_EQ(t.OminoPose(0, 0), NoElement);
  EXPECT_EQ(t.DigitGlyph(-1), NoElement);
  EXPECT_EQ(t.DigitGlyph(10), NoElement);
  EXPECT_EQ(t.HookFrame(6), NoElement);
  EXPECT_EQ(t.outOfRangeReads(), 5);
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
  for (int t = 0; t < TimerCount; ++t) EXPECT_FALSE(rig.h.timerEnabled(static_cast<TimerId>(t)));
}

}  // namespace
}  // namespace cantiere::test
