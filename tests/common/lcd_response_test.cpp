// SPDX-License-Identifier: GPL-3.0-or-later
// How far a segment has darkened or faded at an instant: about 40 ms to
// darken, about 120 ms to fade, easing out; only LCD segments take time.
#include <gtest/gtest.h>

#include "common/lcd/lcd_response.h"

namespace cantiere {
namespace {

struct Instant {
  Millis at;
  float low, high;  // the level lies within [low, high]
};

struct Case {
  const char* what;
  bool lit;  // the change at 1000, from the settled opposite
  std::vector<Instant> instants;
};

class Transition : public ::testing::TestWithParam<Case> {};

TEST_P(Transition, FollowsItsCurve) {
  const Case& c = GetParam();
  Surface s;
  s.set(Im_Bar46, !c.lit);
  LcdResponse r(s);
  r.litChanged(Im_Bar46, c.lit, 1000);
  for (const Instant& i : c.instants) {
    const float level = r.blend(Im_Bar46, i.at).level;
    EXPECT_GE(level, i.low) << c.what << " at " << i.at;
    EXPECT_LE(level, i.high) << c.what << " at " << i.at;
  }
  // Monotonic, and moving while it is said to be in transition.
  float last = r.blend(Im_Bar46, 1000).level;
  for (Millis t = 1001; t <= 1200; ++t) {
    const float level = r.blend(Im_Bar46, t).level;
    EXPECT_TRUE(c.lit ? level >= last : level <= last) << c.what << " at " << t;
    EXPECT_EQ(r.inTransition(Im_Bar46, t - 1), level != last) << c.what << " at " << t;
    last = level;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Segment, Transition,
    ::testing::Values(
        Case{"darkening",
             true,
             {{999, 0, 0}, {1000, 0, 0}, {1010, 0.05f, 0.95f}, {1020, 0.5f, 0.95f},
              {1039, 0.9f, 0.9999f}, {1040, 1, 1}, {1300, 1, 1}}},
        // Ease-out: past half its way at half its time.
        Case{"fading",
             false,
             {{1000, 1, 1}, {1030, 0.3f, 0.95f}, {1060, 0.01f, 0.49f}, {1119, 0, 0.01f},
              {1120, 0, 0}, {5000, 0, 0}}}),
    [](const auto& info) { return std::string(info.param.what); });

TEST(LcdResponse, AReversalGoesOnFromWhereTheSegmentWas) {
  Surface s;
  LcdResponse r(s);
  r.litChanged(Im_Bar46, true, 0);
  const float reached = r.blend(Im_Bar46, 20).level;
  r.litChanged(Im_Bar46, false, 20);
  EXPECT_EQ(r.blend(Im_Bar46, 20).level, reached);
  EXPECT_LT(r.blend(Im_Bar46, 80).level, reached);
  EXPECT_EQ(r.blend(Im_Bar46, 140).level, 0);
  EXPECT_EQ(r.settledAt(), 140);

  // Lit and darkened again within one millisecond: nothing to show.
  r.litChanged(Im_Bar47, true, 500);
  r.litChanged(Im_Bar47, false, 500);
  EXPECT_FALSE(r.inTransition(Im_Bar47, 500));
  EXPECT_EQ(r.blend(Im_Bar47, 510).level, 0);
}

TEST(LcdResponse, TheCaseAndButtonsSwitchAtOnce) {
  Surface s;
  LcdResponse r(s);
  r.litChanged(Im_Base, true, 100);
  r.litChanged(Puls_GameA, true, 100);
  EXPECT_EQ(r.blend(Im_Base, 100).level, 1);
  EXPECT_FALSE(r.inTransition(Puls_GameA, 100));
  EXPECT_EQ(r.settledAt(), 0) << "nothing for a frame timer to do";
}

TEST(LcdResponse, ADigitsNewGlyphDarkensWhileTheOldOneFades) {
  Surface s;
  s.copyPicture(Im_NumPos4, Im_Num1);
  LcdResponse r(s);  // the position is lit at start, showing 1
  r.pictureChanged(Im_NumPos4, Im_Num2, 1000);
  SegmentBlend b = r.blend(Im_NumPos4, 1000);
  EXPECT_EQ(b.picture, Im_Num2);
  EXPECT_EQ(b.level, 0);
  EXPECT_EQ(b.leaving, Im_Num1);
  EXPECT_EQ(b.leavingLevel, 1);
  b = r.blend(Im_NumPos4, 1040);
  EXPECT_EQ(b.level, 1);
  EXPECT_GT(b.leavingLevel, 0);
  EXPECT_EQ(r.blend(Im_NumPos4, 1010).sharedLevel, 1) << "strokes both glyphs have stay dark";
  EXPECT_EQ(r.blend(Im_NumPos4, 1120).leaving, NoElement);
  EXPECT_EQ(r.settledAt(), 1120);

  // Cleared, then given a glyph while the old one still fades: the old one
  // goes on fading rather than vanishing.
  r.pictureChanged(Im_NumPos4, NoElement, 2000);
  r.pictureChanged(Im_NumPos4, Im_Num3, 2010);
  b = r.blend(Im_NumPos4, 2010);
  EXPECT_EQ(b.leaving, Im_Num2);
  EXPECT_EQ(b.leavingLevel, LcdResponse::faded(1, 10));

  // A dark position takes a new picture with nothing to show.
  r.litChanged(Im_NumPos3, false, 3000);
  r.pictureChanged(Im_NumPos3, Im_Num5, 3500);
  EXPECT_FALSE(r.inTransition(Im_NumPos3, 3500));
  EXPECT_EQ(r.blend(Im_NumPos3, 3500).level, 0);
}

}  // namespace
}  // namespace cantiere
