// SPDX-License-Identifier: GPL-3.0-or-later
// The handheld window's model (`Form1`): its elements, the game state, the
// sixteen timers and every handler, with no toolkit. The desktop program and
// the scripted driver feed it events and draw or print what it reports.
//
// Each group of handlers lives in the file of its subject in this folder
// (window.cpp, tick.cpp, crane.cpp, ...), named beside its declarations.
#pragma once

#include <cstdint>

#include "core/handheld/game_state.h"
#include "core/timing/random.h"
#include "core/timing/scheduler.h"
#include "core/timing/time_of_day.h"
#include "core/lcd/element_tables.h"
#include "core/lcd/surface.h"
#include "core/settings/settings_store.h"
#include "core/handheld/desktop.h"
#include "core/sound/sound.h"

namespace cantiere {

// The sixteen timers, in the order of the timer table (which is also the
// order of ticks due at the same millisecond).
enum TimerId : std::uint8_t {
  TimerClock,
  TimerGioco,
  TimerMove,
  TimerJump,
  TimerLeva,
  TimerGancio,
  Timer_Cade,
  Timer_Cade2,
  TimerNonCade,
  TimerBonus,
  TimerMiss,
  TimerMissTrave,
  Timer_Chance,
  TimerBlink,
  TimerOver,
  TimerOver2,
  TimerCount,
};
const char* timerName(TimerId t);
// Every timer but the clock's belongs to play; `Blocca_Timers` stops them.
constexpr bool isGameTimer(TimerId t) { return t != TimerClock && t < TimerCount; }

enum class MouseButton : std::uint8_t { Left, Right, Middle };

// Virtual-key codes the handheld acts on.
enum : int { VkCtrl = 17, VkEsc = 27, VkLeft = 37, VkUp = 38, VkRight = 39, VkDown = 40,
             VkF1 = 112, VkF2 = 113, VkF3 = 114, VkF4 = 115 };

// A window position further off than this is taken as this far: no screen
// comes near it, and however far the window is dragged, the arithmetic of
// its position stays within 32 bits.
constexpr int kWindowRange = 1'000'000'000;
int windowPosition(std::int64_t position);  // clamped into +-kWindowRange

struct HandheldServices {
  Scheduler& scheduler;
  const TimeOfDay& time;
  Sound& sound;
  SettingsStore& settings;
  Desktop& desktop;
};

class Handheld {
 public:
  explicit Handheld(const HandheldServices& services);
  Handheld(const Handheld&) = delete;
  Handheld& operator=(const Handheld&) = delete;

  Surface surface;
  ElementTables tables;
  GameState state;
  Random random;

  // --- Window (window.cpp) ---
  const WindowGeometry& window() const { return window_; }
  void FormCreate();
  void FormActivate();
  void FormClose();
  void setWindowLeft(int left);
  void setWindowTop(int top);
  void setClientHeight(int height);
  int DragX = 0;
  int DragY = 0;
  // The first activation of the window shows the launcher; set by the
  // program start before any window exists.
  bool FirstActivate = false;

  // --- Case and buttons (case.cpp, buttons.cpp) ---
  void Im_FrontClick();
  void Im_BaseMouseDown(MouseButton button, int x, int y);
  void Im_BaseMouseMove(bool leftHeld, int x, int y);
  void Puls_GameAMouseDown(MouseButton button);
  void Puls_GameAMouseUp(MouseButton button);
  void Puls_GameBMouseDown(MouseButton button);
  void Puls_GameBMouseUp(MouseButton button);
  void Puls_TimeMouseDown(MouseButton button);
  void Puls_TimeMouseUp(MouseButton button);
  void Puls_ACLMouseDown(MouseButton button);
  void Puls_ACLMouseUp(MouseButton button);

  // --- Display operations (display.cpp) ---
  void MakePictureCopies();
  void RiempiSchermo();
  void PulisciSchermo();
  void PreparaSchermo();
  void MostraVite();
  void MostraKey();
  void MostraGancio(int k);
  void NascondiGancio(int k);
  void MostraOmino();
  void NascondiOmino();

  // --- Digits and clock (digits.cpp) ---
  void Trasforma_Score(std::int32_t& value);
  void TimerClockTimer();
  void ShowAlarmTime();
  void showDigit(int position, int digit);  // digit < 0 clears the position

  // --- Game state and timers (lifecycle.cpp) ---
  void PreparaGioco();
  void Blocca_Timers();
  void RestartLife();
  bool timerEnabled(TimerId t) const { return scheduler_.enabled(timerIds_[t]); }
  std::uint32_t timerInterval(TimerId t) const { return scheduler_.interval(timerIds_[t]); }
  void enableTimer(TimerId t) { scheduler_.setEnabled(timerIds_[t], true); }
  void disableTimer(TimerId t) { scheduler_.setEnabled(timerIds_[t], false); }
  void setTimerInterval(TimerId t, std::uint32_t ms) { scheduler_.setInterval(timerIds_[t], ms); }
  void reseed();

  // --- Game tick (tick.cpp) ---
  void TimerGiocoTimer();
  // --- Player control (player.cpp) ---
  void FormKeyDown(int key);
  void FormKeyUp(int key);
  void TimerMoveTimer();
  void TimerJumpTimer();
  // --- Crane, lever and hook (crane.cpp) ---
  void TimerLevaTimer();
  void TimerGancioTimer();
  void Timer_CadeTimer();
  void Timer_Cade2Timer();
  // --- Key capture and ape fall (bonus.cpp) ---
  void TimerNonCadeTimer();
  void TimerBonusTimer();
  // --- Misses, chance and game over (misses.cpp) ---
  void ProcCollisione();
  void ProcCollisioneTrave();
  void TimerMissTimer();
  void TimerMissTraveTimer();
  void Timer_ChanceTimer();
  void TimerBlinkTimer();
  void TimerOverTimer();
  void TimerOver2Timer();
  void StartChance();  // the extra life, when a score reaches 300

  Sound& sound() { return sound_; }
  SettingsStore& settings() { return settings_; }
  Desktop& desktop() { return desktop_; }

 private:
  bool caseButtonDown(MouseButton b, Element button);
  bool caseButtonUp(MouseButton b, Element button);

  // Shared by the player's moves and the tick.
  void scored();
  void stepSound();
  void jumpSound();
  void lightScoreDigits();
  void catchHook();
  void takeLife();
  void missBlink(TimerId timer, Element blinked);
  void startMiss(TimerId timer);
  void walkOrClimb(int col, int row);
  bool walkGirder(int key, int row);
  void stepTo(int col, int row, int orcoRange);
  void ontoLadderTop();
  void jump(Element pose);
  void beamTest();
  void enter(bool early);
  void returnToPlay(bool afterApeFall);
  void craneLowers();
  void craneSetsDown();
  void playerLeavesCrane();

  // Tick helpers (tick.cpp).
  void moveCell(Element from, Element to);
  void barrelTick();
  void apeTick();
  bool rollingHit() const;

  Scheduler& scheduler_;
  const TimeOfDay& time_;
  Sound& sound_;
  SettingsStore& settings_;
  Desktop& desktop_;
  int timerIds_[TimerCount]{};
  WindowGeometry window_{-500, 271, 464, 571};
};

}  // namespace cantiere
