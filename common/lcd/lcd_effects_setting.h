// SPDX-License-Identifier: GPL-3.0-or-later
// The stored switch of the LCD's effects, shared by the window's menu entry
// and the driver's snapshot: "LcdEffects", 1 on or 0 off; a missing or
// unreadable value means on.
#pragma once

#include "core/settings/settings_store.h"

namespace cantiere {

inline constexpr const char* kLcdEffectsSetting = "LcdEffects";

inline bool lcdEffectsOn(SettingsStore& settings) {
  return settings.readInt(kLcdEffectsSetting, 1) != 0;
}

inline void storeLcdEffects(SettingsStore& settings, bool on) {
  settings.writeInt(kLcdEffectsSetting, on ? 1 : 0);
}

}  // namespace cantiere
