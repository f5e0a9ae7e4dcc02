// SPDX-License-Identifier: GPL-3.0-or-later
// A handheld on virtual time with recording services, for the model tests.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "core/launcher/program.h"
#include "core/settings/memory_settings.h"
#include "core/sound/recording_output.h"
#include "core/timing/anchored_time_of_day.h"

namespace cantiere::test {

class FixedTime : public TimeOfDay {
 public:
  int hour = 12, minute = 0;
  std::uint32_t universalMs = 43200000;
  LocalTime local() const override { return {hour, minute}; }
  std::uint32_t universalMillisOfDay() const override { return universalMs; }
};

using cantiere::MemorySettings;

class FakeDesktop : public Desktop {
 public:
  ScreenSize size{1024, 768};
  std::vector<std::string> events;
  ScreenSize screen() const override { return size; }
  void windowChanged(const WindowGeometry&) override {}
  void showLauncher() override { events.push_back("showLauncher"); }
  void hideLauncher() override { events.push_back("hideLauncher"); }
  void showAbout() override { events.push_back("about"); }
  void open(const char* target) override { events.push_back(std::string("open ") + target); }
  void beep() override { events.push_back("beep"); }
  void message(const char* text) override { events.push_back(std::string("message ") + text); }
  void exit() override { events.push_back("exit"); }
};

// Sounds as played, each with its virtual time: "1234 SndJump", "1234 silence".
class SoundLog : public SoundListener {
 public:
  explicit SoundLog(const Scheduler& s) : scheduler(s) {}
  const Scheduler& scheduler;
  std::vector<std::string> events;
  void played(Sample s) override {
    events.push_back(std::to_string(scheduler.now()) + " " + sampleName(s));
  }
  void silenced() override { events.push_back(std::to_string(scheduler.now()) + " silence"); }
  // The sounds alone, without times.
  std::vector<std::string> names() const;
  void clear() { events.clear(); }
};

// A program whose time of day runs on from the virtual clock, as the
// driver's and the recorder's do.
struct AnchoredProgram {
  Scheduler scheduler;
  AnchoredTimeOfDay time{scheduler};
  RecordingOutput output;
  Sound sound{output};
  MemorySettings settings;
  FakeDesktop desktop;
  Program program{HandheldServices{scheduler, time, sound, settings, desktop}};
};

// Puts the player on a cell, standing, with control.
void placePlayer(Handheld& h, int col, int row);

class Rig {
 public:
  Rig();
  Scheduler scheduler;
  FixedTime time;
  RecordingOutput output;
  Sound sound{output};
  MemorySettings settings;
  FakeDesktop desktop;
  SoundLog soundLog{scheduler};
  Program program{HandheldServices{scheduler, time, sound, settings, desktop}};
  Handheld& h = program.form1;
  GameState& g = h.state;

  // The program started, PLAY with a working sound output, the lid opened.
  void openCase();
  // Press and release of Game A or Game B on the open case.
  void startGame(int mode);
  // The player entered early with Ctrl (then Ctrl released).
  void enterEarly();
  // The case open, Game A started and the player brought in at 600 ms.
  void startPlaying();
  void wait(Millis ms) { scheduler.advance(ms); }
  void key(int vk) {
    program.keyDown(vk);
    program.keyUp(vk);
  }
  bool lit(Element e) const { return h.surface.lit(e); }
  // Darkens every barrel, beam and ape pose, for tests that place them.
  void clearField();
  void placePlayer(int col, int row) { test::placePlayer(h, col, row); }
  // Player pictures lit: grid poses and the special ones (jumps, lever,
  // leap, fall, crane).
  std::vector<std::string> litPlayerPoses() const;
  std::string digits() const;  // e.g. "-120" for positions 1..4
  std::vector<std::string> litNames() const;
};

}  // namespace cantiere::test
