// SPDX-License-Identifier: GPL-3.0-or-later
// The synthesiser makes the committed samples: the same bytes, so the page
// that makes them in the browser plays what the desktop plays.
#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include "common/sound/sound_synth.h"

namespace cantiere {
namespace {

TEST(SoundSynth, MakesTheCommittedSamplesByteForByte) {
  std::set<std::string> names;
  for (const SoundFile& f : makeSoundFiles()) {
    names.insert(f.name);
    std::ifstream in(std::string(CANTIERE_SOUND_DIR) + "/" + f.name, std::ios::binary);
    std::stringstream committed;
    committed << in.rdbuf();
    EXPECT_TRUE(committed.str() == f.wav) << f.name << ": " << f.wav.size() << " bytes made, "
                                          << committed.str().size() << " committed";
    EXPECT_NEAR(f.ms, (f.wav.size() - 44) / 2 * 1000.0 / 22050, 0.1) << f.name;
  }
  EXPECT_EQ(names, (std::set<std::string>{"Barrel.wav", "Bonus.wav", "Fall.wav", "Jump.wav",
                                          "Miss.wav", "OrcoFall.wav", "Over.wav", "Step.wav"}));
}

}  // namespace
}  // namespace cantiere
