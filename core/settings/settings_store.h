// SPDX-License-Identifier: GPL-3.0-or-later
// The per-user store of the three values that outlive a run: "SoundMode",
// "HiscoreA" and "HiscoreB". Names are compared without regard to case, so
// "HiScoreA" as written and "HiscoreA" as read are one value.
#pragma once

#include <cstdint>
#include <limits>

namespace cantiere {

// What raising a stored value came to.
struct Raised {
  std::int32_t value;  // the higher of the stored value and the one offered
  // The offered value beat the stored one and was written (or, by a store
  // that cannot write just now, kept to be written at its next occasion).
  bool wrote;
};

class SettingsStore {
 public:
  virtual ~SettingsStore() = default;
  // The stored integer, or `fallback` when the value is absent or its text
  // is not a decimal integer.
  virtual std::int32_t readInt(const char* name, std::int32_t fallback) = 0;
  // Stores the integer as decimal text under `name`, replacing any value
  // whose name differs only in case.
  virtual void writeInt(const char* name, std::int32_t value) = 0;
  // Writes `value` only if it beats what is stored now. A store shared by
  // several running programs re-reads the value under its lock, so a higher
  // score stored by another one since this run started is never lost.
  virtual Raised raiseInt(const char* name, std::int32_t value) {
    const std::int32_t stored = readInt(name, std::numeric_limits<std::int32_t>::min());
    if (value <= stored) return {stored, false};
    writeInt(name, value);
    return {value, true};
  }
};

}  // namespace cantiere
