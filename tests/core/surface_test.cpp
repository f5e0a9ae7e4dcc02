// SPDX-License-Identifier: GPL-3.0-or-later
// Show and hide, and the display operations over fixed sets of elements.
#include <algorithm>

#include "tests/core/test_support.h"

namespace cantiere::test {
namespace {

struct CountingListener : SurfaceListener {
  int lit = 0, pictures = 0;
  void litChanged(Element, bool) override { ++lit; }
  void pictureChanged(Element) override { ++pictures; }
};

TEST(Surface, ReportsOnlyRealChanges) {
  Surface s;
  CountingListener l;
  s.setListener(&l);
  s.show(Im_Bar46);
  s.show(Im_Bar46);
  s.hide(Im_Bar46);
  s.hide(Im_Bar46);
  s.hide(Im_Bar47);
  s.show(NoElement);
  EXPECT_EQ(l.lit, 2);
  s.copyPicture(Im_NumPos1, Im_Num4);
  s.copyPicture(Im_NumPos1, Im_Num4);
  s.clearPicture(Im_NumPos1);
  s.clearPicture(Im_NumPos1);
  EXPECT_EQ(l.pictures, 2);
}

class DisplayOps : public ::testing::Test {
 protected:
  void SetUp() override { rig.program.start(); }
  std::vector<std::string> litLcd() const {
    std::vector<std::string> out;
    for (int i = 0; i < ElementCount; ++i)
      if (isLcd(static_cast<Element>(i)) && rig.h.surface.lit(static_cast<Element>(i)))
        out.push_back(nameOf(static_cast<Element>(i)));
    return out;
  }
  Rig rig;
};

TEST_F(DisplayOps, AllSegmentsLightsEveryLcdElementButTwo) {
  rig.h.RiempiSchermo();
  for (int i = 0; i < ElementCount; ++i) {
    const auto e = static_cast<Element>(i);
    if (!isLcd(e)) continue;
    EXPECT_EQ(rig.lit(e), e != Im_Bar15 && e != Im_TimePM) << nameOf(e);
  }
  EXPECT_EQ(rig.digits(), "1200");
  for (int d = 0; d <= 9; ++d) EXPECT_FALSE(rig.lit(rig.h.tables.DigitGlyph(d)));
}

TEST_F(DisplayOps, ClearAfterFillLeavesTheClockMarksAndDigits) {
  rig.h.RiempiSchermo();
  rig.h.PulisciSchermo();
  EXPECT_EQ(litLcd(), (std::vector<std::string>{"Im_TimeAM", "Im_NumPos1", "Im_NumPos2",
                                                "Im_TimePP", "Im_NumPos3", "Im_NumPos4"}));
  EXPECT_EQ(rig.digits(), "1200");
}

TEST_F(DisplayOps, ClearAndFillLeaveBar15AndPmAlone) {
  rig.h.surface.show(Im_Bar15);
  rig.h.surface.show(Im_TimePM);
  rig.h.PulisciSchermo();
  EXPECT_TRUE(rig.lit(Im_Bar15));
  EXPECT_TRUE(rig.lit(Im_TimePM));
  rig.h.surface.hide(Im_Bar15);
  rig.h.RiempiSchermo();
  EXPECT_FALSE(rig.lit(Im_Bar15));
}

TEST_F(DisplayOps, PreparedScreenIsTheStartOfAGame) {
  rig.g.KeysLeft = 4;
  rig.h.PreparaSchermo();
  EXPECT_EQ(rig.g.OrcoCol, 6);
  EXPECT_EQ(litLcd(), (std::vector<std::string>{"Im_Orco6Up", "Im_Key1", "Im_Key2", "Im_Key3",
                                                "Im_Key4", "Im_SbarreSu", "Im_LevaGiu", "Im_Gru1",
                                                "Im_BarFall43", "Im_Bar46", "Im_Bar67", "Im_Vite1",
                                                "Im_Vite2", "Im_Vite3", "Im_NumPos1", "Im_NumPos2",
                                                "Im_NumPos3", "Im_NumPos4"}));
}

TEST_F(DisplayOps, LifeIconsShowOneFewerThanLives) {
  const bool expected[5][3] = {{}, {0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {1, 1, 1}};
  for (int lives = 1; lives <= 4; ++lives) {
    rig.g.Lives = lives;
    rig.h.MostraVite();
    for (int i = 1; i <= 3; ++i)
      EXPECT_EQ(rig.lit(rig.h.tables.LifeIcon(i)), expected[lives][i - 1]) << lives;
  }
  for (int odd : {0, 5, -1}) {
    rig.g.Lives = 2;
    rig.h.MostraVite();
    rig.g.Lives = odd;
    rig.h.MostraVite();
    for (int i = 1; i <= 3; ++i)
      EXPECT_EQ(rig.lit(rig.h.tables.LifeIcon(i)), i == 1) << "unchanged for " << odd;
  }
}

TEST_F(DisplayOps, KeyPiecesShowKeysLeft) {
  for (int n = 4; n >= 0; --n) {  // from all lit, so 0 must darken the last
    rig.g.KeysLeft = n;
    rig.h.MostraKey();
    for (int k = 1; k <= 4; ++k) EXPECT_EQ(rig.lit(rig.h.tables.KeyPiece(k)), k <= n);
  }
  for (int odd : {5, -1}) {
    rig.g.KeysLeft = 2;
    rig.h.MostraKey();
    rig.g.KeysLeft = odd;
    rig.h.MostraKey();
    for (int k = 1; k <= 4; ++k)
      EXPECT_EQ(rig.lit(rig.h.tables.KeyPiece(k)), k <= 2) << "unchanged for " << odd;
  }
  EXPECT_EQ(rig.h.tables.outOfRangeReads(), 0);
}

TEST_F(DisplayOps, HookAndPlayerTouchOneElement) {
  rig.h.MostraGancio(3);
  EXPECT_EQ(litLcd().size(), 5u);  // the four digit positions and the frame
  EXPECT_TRUE(rig.lit(Im_Gancio3));
  rig.h.NascondiGancio(3);
  EXPECT_FALSE(rig.lit(Im_Gancio3));
  rig.g.OminoCol = 5;
  rig.g.OminoRow = 6;
  rig.h.MostraOmino();
  EXPECT_TRUE(rig.lit(Im_Omino56));
  rig.h.NascondiOmino();
  EXPECT_FALSE(rig.lit(Im_Omino56));
}

}  // namespace
}  // namespace cantiere::test
