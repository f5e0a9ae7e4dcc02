// SPDX-License-Identifier: GPL-3.0-or-later
// When the LCD is drawn again: a change at once, then frames only while a
// segment darkens (about 40 ms) or fades (about 120 ms), none at rest.
#include <gtest/gtest.h>

#include <vector>

#include "common/lcd/lcd_frames.h"

namespace cantiere {
namespace {

struct Painted {
  Element e;
  bool shadow;
  bool operator==(const Painted&) const = default;
};

struct Rig {
  Surface surface;
  std::vector<Painted> painted;
  LcdFrames frames{surface, [this](Element e, bool shadow) { painted.push_back({e, shadow}); }};

  void set(Element e, bool lit, Millis at) {
    surface.set(e, lit);
    frames.litChanged(e, lit, at);
  }
  // Frames every 16 ms from `from` while they are wanted; the instant of
  // the last one.
  Millis run(Millis from) {
    Millis t = from;
    for (int guard = 0; frames.running() && guard < 100; ++guard, t += LcdFrames::kFrameMs)
      frames.step(t);
    return t - LcdFrames::kFrameMs;
  }
};

TEST(LcdFrames, FramesRunOnlyWhileASegmentMoves) {
  struct Case {
    bool lit;
    Millis settled;  // the change at 1000 has settled by then
  };
  // Frames from 1008 meet both settling instants exactly; from 1016, neither.
  for (const Case c : {Case{true, 1040}, Case{false, 1120}})
    for (const Millis first : {1016, 1008}) {
      Rig r;
      r.surface.set(Im_Bar46, !c.lit);
      r.frames = LcdFrames(r.surface, [&r](Element e, bool s) { r.painted.push_back({e, s}); });
      r.set(Im_Bar46, c.lit, 1000);
      ASSERT_EQ(r.painted, (std::vector<Painted>{{Im_Bar46, true}}));
      EXPECT_TRUE(r.frames.running());
      r.painted.clear();
      const Millis last = r.run(first);
      // The first frame at or after the segment settles is the last one, and
      // it still paints the segment's final look.
      EXPECT_GE(last, c.settled) << c.lit << " " << first;
      EXPECT_LT(last, c.settled + LcdFrames::kFrameMs) << c.lit << " " << first;
      EXPECT_EQ(r.painted.back(), (Painted{Im_Bar46, true})) << c.lit;
      EXPECT_EQ(r.painted.size(), static_cast<std::size_t>((last - first) / 16 + 1)) << c.lit;
    }
}

TEST(LcdFrames, NoFramesForWhatSwitchesAtOnce) {
  Rig r;
  r.frames.setEnabled(false, 0);
  r.set(Im_Bar46, true, 1000);  // effects off: a plain switch, no shadow
  EXPECT_FALSE(r.frames.running());
  Rig c;
  c.set(Im_Front, false, 1000);  // the case is no segment
  EXPECT_FALSE(c.frames.running());
  EXPECT_EQ(r.painted, (std::vector<Painted>{{Im_Bar46, false}}));
  EXPECT_EQ(c.painted, (std::vector<Painted>{{Im_Front, false}}));
}

TEST(LcdFrames, APictureChangeShowsOnlyWhereItIsSeen) {
  Rig r;
  r.surface.copyPicture(Im_NumPos1, Im_Num0);
  r.frames = LcdFrames(r.surface, [&r](Element e, bool s) { r.painted.push_back({e, s}); });
  r.surface.set(Im_NumPos1, false);
  r.frames.litChanged(Im_NumPos1, false, 0);
  r.run(16);
  r.painted.clear();
  // A dark digit takes another picture: nothing to draw until it lights.
  r.surface.copyPicture(Im_NumPos1, Im_Num1);
  r.frames.pictureChanged(Im_NumPos1, 1000);
  EXPECT_TRUE(r.painted.empty());
  EXPECT_FALSE(r.frames.running());
  // Lit, a new picture darkens in.
  r.set(Im_NumPos1, true, 2000);
  r.run(2016);
  r.painted.clear();
  r.surface.copyPicture(Im_NumPos1, Im_Num0);
  r.frames.pictureChanged(Im_NumPos1, 3000);
  EXPECT_EQ(r.painted, (std::vector<Painted>{{Im_NumPos1, true}}));
  EXPECT_TRUE(r.frames.running());
}

TEST(LcdFrames, TimeStandingStillStopsTheFrames) {
  Rig r;
  r.set(Im_Bar46, true, 1000);
  r.frames.step(1010);
  EXPECT_TRUE(r.frames.running());
  r.frames.step(1010);  // a replay held at its end
  EXPECT_FALSE(r.frames.running());
  // A frame in the very millisecond of a change is not the last one.
  r.set(Im_Bar46, false, 1010);
  r.frames.step(1010);
  EXPECT_TRUE(r.frames.running());
}

TEST(LcdFrames, SwitchedBackOnAFadeUnderWayGoesOn) {
  Rig r;
  r.set(Im_Bar46, true, 1000);
  r.frames.setEnabled(false, 1010);
  EXPECT_FALSE(r.frames.running());
  r.frames.setEnabled(true, 1020);  // still darkening: frames again
  EXPECT_TRUE(r.frames.running());
  r.frames.setEnabled(false, 1030);
  r.frames.setEnabled(true, 1050);  // settled meanwhile: nothing to run
  EXPECT_FALSE(r.frames.running());
}

}  // namespace
}  // namespace cantiere
