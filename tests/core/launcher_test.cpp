// SPDX-License-Identifier: GPL-3.0-or-later
// The launcher: sound-mode choice, PLAY and its placement, the slideshow,
// the menu and its shortcuts.
#include "tests/core/test_support.h"

namespace cantiere::test {
namespace {

TEST(Launcher, FirstRunOffersNoChoiceAndDisablesPlay) {
  Rig rig;
  rig.program.start();
  Launcher& l = rig.program.splash;
  EXPECT_TRUE(l.visible);
  EXPECT_EQ(l.soundIndex, -1);
  EXPECT_FALSE(l.playEnabled);
  l.CB_SoundChange(1);
  EXPECT_TRUE(l.playEnabled);
  for (int outside : {3, -1}) {  // the list has three entries
    l.CB_SoundChange(outside);
    EXPECT_EQ(l.soundIndex, 1) << outside;
  }
}

TEST(Launcher, StoredModeIsPreselectedAndUnusableOnesAreNot) {
  for (int stored : {0, 1, 2, 3, -1, 77}) {
    Rig rig;
    rig.settings.values["soundmode"] = stored;
    rig.program.start();
    const bool usable = stored >= 0 && stored <= 2;
    EXPECT_EQ(rig.program.splash.soundIndex, usable ? stored : -1) << stored;
    EXPECT_EQ(rig.program.splash.playEnabled, usable) << stored;
  }
}

struct Placement {
  int width, height, left, top;
};

TEST(Launcher, PlayCentresTheHandheldForTheOpenCase) {
  const Placement cases[] = {{800, 600, 168, 271}, {800, 601, 168, 286}, {1024, 768, 280, 369},
                             {1023, 768, 279, 369},
                             {1920, 1080, 728, 525}, {640, 480, 88, 271}};
  for (const Placement& p : cases) {
    Rig rig;
    rig.desktop.size = {p.width, p.height};
    rig.program.start();
    rig.program.splash.CB_SoundChange(2);
    rig.program.splash.Puls_PlayClick();
    EXPECT_EQ(rig.h.window().left, p.left) << p.width;
    EXPECT_EQ(rig.h.window().top, p.top) << p.height;
    rig.h.Im_FrontClick();
    EXPECT_EQ(rig.h.window().top, p.top - 271);
  }
}

TEST(Launcher, PlayStoresTheModeAndStartsTheChosenOutput) {
  const int expectedType[] = {1, 2};
  for (int mode = 0; mode <= 2; ++mode) {
    Rig rig;
    rig.program.start();
    rig.program.splash.CB_SoundChange(mode);
    rig.program.splash.Puls_PlayClick();
    EXPECT_EQ(rig.settings.writes, (std::vector<std::string>{"SoundMode=" + std::to_string(mode)}));
    EXPECT_EQ(rig.sound.SoundOn, mode != 2);
    if (mode == 2) {
      EXPECT_TRUE(rig.output.calls.empty()) << "no sound device is touched";
    } else {
      ASSERT_GE(rig.output.calls.size(), 2u);
      EXPECT_EQ(rig.output.calls[0], "output " + std::to_string(expectedType[mode]));
      EXPECT_EQ(rig.output.calls[1], "init 22050 64");
    }
    EXPECT_FALSE(rig.program.splash.visible);
    EXPECT_FALSE(rig.program.splash.slideshowRunning());
    EXPECT_EQ(rig.desktop.events.back(), "hideLauncher");
  }
}

TEST(Launcher, FailedSoundStartShowsTheErrorStoresMinusOneAndEnds) {
  Rig rig;
  rig.output.failFirstLoad = true;
  rig.program.start();
  rig.program.splash.CB_SoundChange(0);
  rig.program.splash.Puls_PlayClick();
  EXPECT_EQ(rig.settings.writes, (std::vector<std::string>{"SoundMode=0", "SoundMode=-1"}));
  const std::vector<std::string> tail(rig.desktop.events.end() - 2, rig.desktop.events.end());
  EXPECT_EQ(tail, (std::vector<std::string>{
                      "message Sound folder unproperly installed. Read instructions then reinstall.",
                      "exit"}));
  EXPECT_EQ(rig.h.window().left, -500) << "the handheld is not placed";
  EXPECT_TRUE(rig.program.splash.visible);
}

TEST(Launcher, ADeviceThatCannotOpenIsNamedWithTheDriversReasonAndTheWayOut) {
  for (int mode : {0, 1}) {
    Rig rig;
    rig.output.failOpen = "pulseaudio: Could not connect to PulseAudio server";
    rig.program.start();
    rig.program.splash.CB_SoundChange(mode);
    rig.program.splash.Puls_PlayClick();
    EXPECT_EQ(rig.settings.writes,
              (std::vector<std::string>{"SoundMode=" + std::to_string(mode), "SoundMode=-1"}));
    const std::vector<std::string> tail(rig.desktop.events.end() - 2, rig.desktop.events.end());
    EXPECT_EQ(tail[0], std::string("message The sound output for \"") + (mode ? "DirectSound" : "Windows MM") +
                           "\" could not be opened: pulseaudio: Could not connect to PulseAudio server. "
                           "Choose \"(no sound)\" to play without sound.");
    EXPECT_EQ(tail[1], "exit");
    EXPECT_EQ(rig.h.window().left, -500) << "the handheld is not placed";
  }
}

TEST(Launcher, SlideshowKeepsTheFirstPictureFourSecondsThenAlternates) {
  Rig rig;
  rig.time.universalMs = 12345678;
  rig.program.start();
  Launcher& l = rig.program.splash;
  const int first = l.slideShown;
  ASSERT_TRUE(first == 1 || first == 2);
  const int second = 3 - first;
  const std::pair<Millis, int> shown[] = {{2000, first}, {3999, first}, {4000, second},
                                          {5999, second}, {6000, first}};
  for (const auto& [at, slide] : shown) {
    rig.wait(at - rig.scheduler.now());
    EXPECT_EQ(l.slideShown, slide) << at;
  }
}

// The first picture is drawn from the generator seeded with the time of day
// in milliseconds. Worked by hand from state := state * 134775813 + 1 and
// the upper half of state * 2: 16 gives 2156413009, whose double passes
// 2^32; 32 wraps to 17858721, whose double does not.
TEST(Launcher, SlideChoiceFollowsTheSeededGenerator) {
  const std::pair<std::uint32_t, int> cases[] = {{0, 1},  {1, 1},  {16, 2},
                                                 {31, 2}, {32, 1}, {60000, 2}};
  for (const auto& [ms, slide] : cases) {
    Rig rig;
    rig.time.universalMs = ms;
    rig.program.start();
    EXPECT_EQ(rig.program.splash.slideShown, slide) << ms;
  }
}

TEST(Random, DrawsFollowTheHandheldsGenerator) {
  struct Case {
    std::uint32_t seed;
    int draws[6];  // below 15, 3, 2, 6, 36 and 1000, in turn
    std::uint32_t state;
  };
  const Case cases[] = {{0, {0, 0, 1, 1, 9, 671}, 2884733762u},
                        {43200000, {5, 1, 1, 1, 14, 701}, 3013880130u},
                        {86399999, {10, 2, 0, 1, 5, 84}, 364024377u}};
  const int ranges[] = {15, 3, 2, 6, 36, 1000};
  for (const Case& c : cases) {
    Random random;
    random.seed(c.seed);
    for (int i = 0; i < 6; ++i) EXPECT_EQ(random.below(ranges[i]), c.draws[i]) << c.seed;
    EXPECT_EQ(random.state(), c.state) << c.seed;
  }
}

TEST(Menu, EntriesAndShortcuts) {
  Rig rig;
  rig.program.start();
  rig.program.keyDown(VkF1);
  rig.program.keyDown(VkF2);
  rig.program.keyDown(VkF3);
  rig.program.keyDown(VkF4);
  EXPECT_FALSE(rig.g.KeyHeld) << "a shortcut does not reach the window's keys";
  const std::vector<std::string> opened(rig.desktop.events.end() - 4, rig.desktop.events.end());
  EXPECT_EQ(opened, (std::vector<std::string>{"about", "open ./readme.txt", "open ./whatsnew.txt",
                                              "open ./Manual.EXE"}));
  rig.program.keyDown(VkEsc);
  EXPECT_EQ(rig.desktop.events.back(), "exit");
  EXPECT_EQ(rig.output.calls.back(), "close");
}

TEST(Menu, ResetHiscoresStoresZerosAndBeepsWithoutRedrawing) {
  Rig rig;
  rig.settings.values["hiscorea"] = 140;
  rig.settings.values["hiscoreb"] = 90;
  rig.openCase();
  rig.h.Puls_GameAMouseDown(MouseButton::Left);
  ASSERT_EQ(rig.digits(), "-140");
  rig.settings.writes.clear();
  rig.program.splash.choose(MenuEntry::PM_8Hiscore);
  EXPECT_EQ(rig.settings.writes, (std::vector<std::string>{"HiScoreA=0", "HiScoreB=0"}));
  EXPECT_EQ(rig.desktop.events.back(), "beep");
  EXPECT_EQ(rig.digits(), "-140");
  EXPECT_EQ(rig.g.HiScoreA, 0);
  EXPECT_EQ(rig.g.HiScoreB, 0);
}

}  // namespace
}  // namespace cantiere::test
