// SPDX-License-Identifier: GPL-3.0-or-later
// Starting, playing, cutting and releasing the eight samples.
#include "tests/core/test_support.h"

namespace cantiere::test {
namespace {

TEST(Sound, StartLoadsTheEightSamplesInOrder) {
  RecordingOutput out;
  Sound sound(out);
  ASSERT_TRUE(sound.start(2));
  EXPECT_EQ(out.calls, (std::vector<std::string>{
                           "output 2", "init 22050 64", "load SOUND/Barrel.wav",
                           "load SOUND/Bonus.wav", "load SOUND/Fall.wav", "load SOUND/Jump.wav",
                           "load SOUND/Miss.wav", "load SOUND/OrcoFall.wav", "load SOUND/Over.wav",
                           "load SOUND/Step.wav"}));
  // Miss was loaded fifth, OrcoFall sixth, but they are stored the other way.
  EXPECT_EQ(sound.handle(SndMiss), 5);
  EXPECT_EQ(sound.handle(SndOrcoFall), 6);
  out.calls.clear();
  sound.release();
  EXPECT_EQ(out.calls, (std::vector<std::string>{"free 1", "free 2", "free 3", "free 4", "free 6",
                                                 "free 5", "free 7", "free 8", "close"}));
  // Released samples are forgotten: a second release frees none of them again.
  for (int s = 0; s < SampleCount; ++s) EXPECT_EQ(sound.handle(static_cast<Sample>(s)), 0);
}

TEST(Sound, OnlyTheFirstSampleDecidesFailure) {
  RecordingOutput out;
  out.failFirstLoad = true;
  Sound sound(out);
  EXPECT_FALSE(sound.start(1));
  EXPECT_EQ(sound.handle(SndBarrel), 0);
  EXPECT_NE(sound.handle(SndStep), 0);
  EXPECT_EQ(sound.failure(), Sound::Failure::Samples);
}

TEST(Sound, AFailureIsTheDevicesOnlyWhenNoOutputOpened) {
  struct Case {
    const char* openError;
    bool failFirstLoad;
    Sound::Failure failure;
    const char* reason;
  };
  const Case cases[] = {
      {nullptr, false, Sound::Failure::None, ""},
      {nullptr, true, Sound::Failure::Samples, ""},
      {"alsa: no device", false, Sound::Failure::Device, "alsa: no device"},
  };
  for (const Case& c : cases) {
    RecordingOutput out;
    out.failOpen = c.openError;
    out.failFirstLoad = c.failFirstLoad;
    Sound sound(out);
    EXPECT_EQ(sound.start(2), c.failure == Sound::Failure::None);
    EXPECT_EQ(sound.failure(), c.failure);
    EXPECT_STREQ(sound.deviceError(), c.reason);
    // The library sees the same calls whatever failed.
    EXPECT_EQ(out.calls.size(), 10u);
  }
}

TEST(Sound, NothingPlaysOrStopsWhileSoundIsOff) {
  Scheduler s;
  RecordingOutput out;
  SoundLog log(s);
  Sound sound(out);
  sound.setListener(&log);
  sound.Suona(SndJump);
  sound.Silenzio();
  EXPECT_EQ(out.playCount, 0);
  EXPECT_TRUE(log.events.empty());
  sound.SoundOn = true;
  sound.Suona(SndJump);
  sound.Suona(SndStep);
  sound.Silenzio();
  EXPECT_EQ(out.playCount, 2);
  EXPECT_EQ(log.names(), (std::vector<std::string>{"SndJump", "SndStep", "silence"}));
}

}  // namespace
}  // namespace cantiere::test
