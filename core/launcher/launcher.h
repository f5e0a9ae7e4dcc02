// SPDX-License-Identifier: GPL-3.0-or-later
// The launcher (`SplashForm`): sound-mode choice, PLAY, the two-picture
// slideshow, the links, and the handheld's context menu, without widgets.
#pragma once

#include <string>

#include "core/handheld/handheld.h"

namespace cantiere {

// Entries of the sound list; the index is the stored "SoundMode".
inline constexpr const char* kSoundModes[] = {"Windows MM", "DirectSound", "(no sound)"};
inline constexpr int kSoundModeCount = 3;

inline constexpr const char* kSoundFolderError =
    "Sound folder unproperly installed. Read instructions then reinstall.";
// When no output could be opened the folder is fine: the box says what the
// driver said, and how to play without sound.
std::string soundDeviceError(int soundMode, const char* reason);

// The links name the project itself: its mail link only starts a message
// about it (there is no invented address), its web link opens the folder
// the program's documents and sounds are installed in.
inline constexpr const char* kMailLink = "mailto:?subject=Cantiere%20S3%2F1.04a";
inline constexpr const char* kMailText = "Write about Cantiere";
inline constexpr const char* kWebLink = ".";
inline constexpr const char* kWebText = "Cantiere's own folder";

enum class MenuEntry { PM_1About, PM_3Readme, PM_4Whatsnew, PM_6Instruct, PM_8Hiscore, PM_10Exit };

class Launcher {
 public:
  Launcher(Handheld& form1, Scheduler& scheduler);

  // State of the widgets.
  int soundIndex = -1;  // selected entry of CB_Sound, -1 none
  bool playEnabled = true;
  int SplashSlide = 1;  // which picture the next slideshow tick shows
  int slideShown = 0;   // whose picture Im_Piccina0 holds: 1, 2 (0 none)
  bool visible = false;

  void FormCreate();
  void CB_SoundChange(int index);  // the user chose an entry
  void Puls_PlayClick();
  void Timer_PiccinaTimer();
  bool slideshowRunning() const;
  void La_EmailClick();
  void La_HttpClick();

  // The handheld's context menu.
  void PM_1AboutClick();
  void PM_3ReadmeClick();
  void PM_4WhatsnewClick();
  void PM_6InstructClick();
  void PM_8HiscoreClick();
  void PM_10ExitClick();
  void choose(MenuEntry entry);
  // F1..F4 and Esc while the handheld window has the keyboard; true when the
  // key chose an entry (the window then does not see it).
  bool shortcut(int key);

 private:
  void showSlide();

  Handheld& form1_;
  Scheduler& scheduler_;
  int timerPiccina_;
};

}  // namespace cantiere
