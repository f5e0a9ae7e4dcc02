// The per-user store of the three values that outlive a run: "SoundMode",
// "HiscoreA" and "HiscoreB". Names are compared without regard to case, so
// "HiScoreA" as written and "HiscoreA" as read are one value.
#pragma once

#include <cstdint>

namespace cantiere {

class SettingsStore {
 public:
  virtual ~SettingsStore() = default;
  // The stored integer, or `fallback` when the value is absent or its text
  // is not a decimal integer.
  virtual std::int32_t readInt(const char* name, std::int32_t fallback) = 0;
  // Stores the integer as decimal text under `name`, replacing any value
  // whose name differs only in case.
  virtual void writeInt(const char* name, std::int32_t value) = 0;
};

}  // namespace cantiere
