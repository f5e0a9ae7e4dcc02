// SPDX-License-Identifier: GPL-3.0-or-later
// Settings kept in memory for the run alone: the driver's store when no
// file is named, and the tests'. Names are compared without regard to case,
// as in the settings file.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "core/settings/settings_store.h"

namespace cantiere {

class MemorySettings : public SettingsStore {
 public:
  std::map<std::string, std::int32_t> values;  // keys in lower case
  std::vector<std::string> writes;             // "HiScoreA=120", in order
  std::int32_t readInt(const char* name, std::int32_t fallback) override;
  void writeInt(const char* name, std::int32_t value) override;
};

}  // namespace cantiere
