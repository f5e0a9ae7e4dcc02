// SPDX-License-Identifier: GPL-3.0-or-later
// SDL2 and SDL2_mixer are loaded only as the program first needs them, and
// a library that cannot be loaded fails what needs it, with its reason, as
// SDL reports a failure. This test links neither library; its BrokenSdl
// runs find an unloadable copy of one (BROKEN_LIBRARY) on the library path.
#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>
#include <cstdlib>
#include <fstream>
#include <string>

#include "frontend/input/gamepad_input.h"
#include "frontend/sound/sdl_output.h"
#include "tests/frontend/desktop_rig.h"

namespace cantiere::test {
namespace {

bool loaded(const std::string& library) {
  std::ifstream maps("/proc/self/maps");
  for (std::string line; std::getline(maps, line);)
    if (line.find(library) != std::string::npos) return true;
  return false;
}

// The disk driver writes what it plays to a file instead of a device.
struct DiskSound {
  DiskSound() {
    setenv("SDL_DISKAUDIOFILE", QDir(dir.path()).filePath("out.raw").toUtf8().constData(), 1);
    output.selectOutput(1);
  }
  QTemporaryDir dir;
  SdlOutput output{{"disk", "disk"}};
};

TEST(SdlOnDemand, ControllersLoadSdlAsTheHandheldFirstShowsAndSoundLoadsTheMixerAsItStarts) {
  DesktopRig rig;  // the launcher on screen
  DiskSound sound;
  GamepadInput pads(rig.program, rig.windows.input, rig.form1.get(), QDir::tempPath(),
                    GamepadInput::Start::WhenShown);
  EXPECT_FALSE(loaded("libSDL2")) << "SDL loaded before the handheld showed";
  EXPECT_FALSE(pads.available());
  rig.play(2);  // "(no sound)"
  ASSERT_TRUE(rig.form1->isVisible());
  EXPECT_TRUE(pads.available());
  EXPECT_TRUE(loaded("libSDL2-2.0.so"));
  EXPECT_FALSE(loaded("libSDL2_mixer")) << "nothing has sounded yet";
  sound.output.init(22050, 8);
  EXPECT_TRUE(sound.output.isOpen()) << sound.output.openError();
  EXPECT_TRUE(loaded("libSDL2_mixer"));
}

TEST(BrokenSdl, WhatNeedsAnUnloadableLibraryFailsWithItsReasonAndTheRestWorks) {
  const char* broken = std::getenv("BROKEN_LIBRARY");
  ASSERT_NE(broken, nullptr);
  const bool sdlItself = std::string(broken).rfind("libSDL2-", 0) == 0;
  DiskSound sound;
  sound.output.init(22050, 8);
  EXPECT_FALSE(sound.output.isOpen());
  ASSERT_NE(sound.output.openError(), nullptr);
  EXPECT_NE(std::string(sound.output.openError()).find(broken), std::string::npos)
      << sound.output.openError();
  DesktopRig rig;
  GamepadInput pads(rig.program, rig.windows.input, rig.form1.get(), QDir::tempPath());
  EXPECT_EQ(pads.available(), !sdlItself) << "controllers need SDL alone";
}

}  // namespace
}  // namespace cantiere::test
