// SPDX-License-Identifier: GPL-3.0-or-later
// The LCD's frames: asked for while a segment darkens (40 ms) or fades
// (120 ms), each moving segment drawn again at every frame and once more as
// it settles, and none at rest, with the effects off, or while time stands.
#include <gtest/gtest.h>

#include <vector>

#include "common/lcd/lcd_frames.h"

namespace cantiere {
namespace {

struct Frames {
  Surface surface;
  std::vector<Element> repainted;
  LcdFrames frames{surface, [this](Element e, bool) { repainted.push_back(e); }};
  // Frames every 16 ms from `from` while they are asked for; the last one.
  Millis runFrom(Millis from) {
    Millis at = from;
    while (frames.step(at)) at += LcdFrames::kFrameMs;
    return at;
  }
};

TEST(LcdFrames, ASegmentThatDarkensOrFadesAsksForFramesUntilItSettles) {
  const struct {
    bool lit;
    Millis settles;
  } cases[] = {{true, LcdResponse::kDarken}, {false, LcdResponse::kFade}};
  for (const auto& c : cases) {
    Frames f;
    if (!c.lit) f.surface.show(Im_Bar46);
    f.frames.follow(f.surface, 1000);
    if (c.lit) f.surface.show(Im_Bar46); else f.surface.hide(Im_Bar46);
    ASSERT_TRUE(f.frames.litChanged(Im_Bar46, c.lit, 1000));
    const Millis last = f.runFrom(1000 + LcdFrames::kFrameMs);
    EXPECT_GE(last, 1000 + c.settles) << c.lit;
    EXPECT_LT(last, 1000 + c.settles + LcdFrames::kFrameMs) << "no frame after it settled";
    f.repainted.clear();
    EXPECT_FALSE(f.frames.step(last + 500));
    EXPECT_TRUE(f.repainted.empty()) << "at rest nothing is drawn";
  }
}

TEST(LcdFrames, OnlyLcdSegmentsWithTheEffectsOnAskForFrames) {
  Frames f;
  EXPECT_FALSE(f.frames.litChanged(Im_Base, true, 0)) << "a photograph switches at once";
  EXPECT_EQ(f.repainted, std::vector<Element>{Im_Base});
  EXPECT_FALSE(f.frames.setEnabled(false));
  EXPECT_FALSE(f.frames.litChanged(Im_Bar46, true, 0));
  EXPECT_FALSE(f.frames.step(16));
  EXPECT_TRUE(f.frames.setEnabled(true)) << "what is under way goes on once switched on";
}

TEST(LcdFrames, TimeStandingStillMovesNothingMore) {
  Frames f;
  f.surface.show(Im_Bar46);
  ASSERT_TRUE(f.frames.litChanged(Im_Bar46, true, 0));
  EXPECT_TRUE(f.frames.step(10));
  EXPECT_FALSE(f.frames.step(10)) << "a replay held at its end";
}

}  // namespace
}  // namespace cantiere
