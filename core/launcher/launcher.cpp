// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/launcher/launcher.h"

namespace cantiere {

std::string soundDeviceError(int soundMode, const char* reason) {
  std::string text = "The sound output for \"";
  text += soundMode >= 0 && soundMode < kSoundModeCount ? kSoundModes[soundMode] : "?";
  text += "\" could not be opened";
  if (reason && *reason) {
    text += ": ";
    text += reason;
  }
  text += ". Choose \"(no sound)\" to play without sound.";
  return text;
}

Launcher::Launcher(Handheld& form1, Scheduler& scheduler)
    : form1_(form1), scheduler_(scheduler) {
  timerPiccina_ = scheduler_.add(
      2000, [](void* self) { static_cast<Launcher*>(self)->Timer_PiccinaTimer(); }, this);
}

void Launcher::FormCreate() {
  const int mode = form1_.settings().readInt("SoundMode", -1);
  soundIndex = mode >= 0 && mode < kSoundModeCount ? mode : -1;
  playEnabled = soundIndex >= 0;
  form1_.reseed();
  SplashSlide = form1_.random.below(2) + 1;
  showSlide();
  scheduler_.setEnabled(timerPiccina_, true);
  visible = true;
}

void Launcher::CB_SoundChange(int index) {
  // A choose-only list: there is no way back to no selection.
  if (index < 0 || index >= kSoundModeCount) return;
  soundIndex = index;
  playEnabled = true;
}

void Launcher::showSlide() { slideShown = SplashSlide == 1 ? 1 : 2; }

void Launcher::Timer_PiccinaTimer() {
  showSlide();
  if (++SplashSlide == 3) SplashSlide = 1;
}

bool Launcher::slideshowRunning() const { return scheduler_.enabled(timerPiccina_); }

void Launcher::Puls_PlayClick() {
  Sound& sound = form1_.sound();
  SettingsStore& settings = form1_.settings();
  int outputType = 0;
  switch (soundIndex) {
    case 2:
      sound.SoundOn = false;
      settings.writeInt("SoundMode", 2);
      break;
    case 0:
      sound.SoundOn = true;
      settings.writeInt("SoundMode", 0);
      outputType = 1;
      break;
    case 1:
      sound.SoundOn = true;
      settings.writeInt("SoundMode", 1);
      outputType = 2;
      break;
    default:
      playEnabled = false;
      break;
  }
  if (sound.SoundOn && !sound.start(outputType)) {
    if (sound.failure() == Sound::Failure::Device) {
      form1_.desktop().message(soundDeviceError(soundIndex, sound.deviceError()).c_str());
    } else {
      form1_.desktop().message(kSoundFolderError);
    }
    settings.writeInt("SoundMode", -1);
    form1_.desktop().exit();
    return;
  }
  scheduler_.setEnabled(timerPiccina_, false);
  const ScreenSize screen = form1_.desktop().screen();
  form1_.setWindowLeft((screen.width - 464) / 2);
  // Centred for the open case, which grows 271 pixels upwards.
  if (screen.height > 600)
    form1_.setWindowTop((screen.height - form1_.window().height + 271) / 2);
  visible = false;
  form1_.desktop().hideLauncher();
}

void Launcher::La_EmailClick() { form1_.desktop().open(kMailLink); }
void Launcher::La_HttpClick() { form1_.desktop().open(kWebLink); }

void Launcher::PM_1AboutClick() { form1_.desktop().showAbout(); }
void Launcher::PM_3ReadmeClick() { form1_.desktop().open("./readme.txt"); }
void Launcher::PM_4WhatsnewClick() { form1_.desktop().open("./whatsnew.txt"); }
void Launcher::PM_6InstructClick() { form1_.desktop().open("./Manual.EXE"); }

void Launcher::PM_8HiscoreClick() {
  // The digits are not redrawn; the next press of a game button shows 0.
  GameState& g = form1_.state;
  g.HiScoreA = 0;
  g.HiScoreB = 0;
  form1_.settings().writeInt("HiScoreA", 0);
  form1_.settings().writeInt("HiScoreB", g.HiScoreB);
  form1_.desktop().beep();
}

void Launcher::PM_10ExitClick() { form1_.FormClose(); }

void Launcher::choose(MenuEntry entry) {
  switch (entry) {
    case MenuEntry::PM_1About: PM_1AboutClick(); break;
    case MenuEntry::PM_3Readme: PM_3ReadmeClick(); break;
    case MenuEntry::PM_4Whatsnew: PM_4WhatsnewClick(); break;
    case MenuEntry::PM_6Instruct: PM_6InstructClick(); break;
    case MenuEntry::PM_8Hiscore: PM_8HiscoreClick(); break;
    case MenuEntry::PM_10Exit: PM_10ExitClick(); break;
  }
}

bool Launcher::shortcut(int key) {
  switch (key) {
    case VkF1: choose(MenuEntry::PM_1About); return true;
    case VkF2: choose(MenuEntry::PM_3Readme); return true;
    case VkF3: choose(MenuEntry::PM_4Whatsnew); return true;
    case VkF4: choose(MenuEntry::PM_6Instruct); return true;
    case VkEsc: choose(MenuEntry::PM_10Exit); return true;
    default: return false;
  }
}

}  // namespace cantiere
