// SPDX-License-Identifier: GPL-3.0-or-later
// The one record of game variables. Every field is zero (flags false) at
// start-up; the window's creation then sets GameMode and reads the high
// scores. Handlers read and write the fields directly.
#pragma once

#include <cstdint>

namespace cantiere {

using Flag = std::uint8_t;  // one byte, 0 or 1

// X(type, name) in the record's own order; the driver's dump follows it.
#define CANTIERE_GAME_STATE_FIELDS(X) \
  X(Flag, GameRunning)                \
  X(Flag, ControlEnabled)             \
  X(Flag, KeyHeld)                    \
  X(Flag, AwaitingEntry)              \
  X(std::int32_t, GameMode)           \
  X(std::int32_t, Lives)              \
  X(std::int32_t, Score)              \
  X(std::int32_t, HiScoreA)           \
  X(std::int32_t, HiScoreB)           \
  X(std::int32_t, KeysLeft)           \
  X(std::int32_t, BonusCount)         \
  X(std::int32_t, PointValue)         \
  X(std::int32_t, HookPhase)          \
  X(std::int32_t, CatchPhase)         \
  X(std::int32_t, BonusTick)          \
  X(std::int32_t, FallPhase)          \
  X(std::int32_t, BlinkPhase)         \
  X(std::int32_t, TickCount)          \
  X(std::int32_t, LadderTicks)        \
  X(std::int32_t, OrcoRange)          \
  X(std::int32_t, DropRange)          \
  X(Flag, HalfTick)                   \
  X(Flag, QuarterTick)                \
  X(std::int32_t, OminoCol)           \
  X(std::int32_t, OminoRow)           \
  X(std::int32_t, OrcoCol)

struct GameState {
#define CANTIERE_DECLARE_FIELD(type, name) type name = 0;
  CANTIERE_GAME_STATE_FIELDS(CANTIERE_DECLARE_FIELD)
#undef CANTIERE_DECLARE_FIELD
};

// GameMode values.
enum : std::int32_t { ModeClock = 0, ModeGameA = 1, ModeGameB = 2, ModeAllLit = 3 };

}  // namespace cantiere
