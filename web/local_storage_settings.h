// SPDX-License-Identifier: GPL-3.0-or-later
// The settings store on the browser's local storage: the high scores, the
// sound mode, the size and the LCD effects survive a reload. A browser that
// keeps no storage (disabled, or full) leaves the game on the values in
// memory, as the desktop does with a file it cannot write.
#pragma once

#include <map>
#include <string>

#include "core/settings/settings_store.h"

namespace cantiere {

class LocalStorageSettings : public SettingsStore {
 public:
  std::int32_t readInt(const char* name, std::int32_t fallback) override;
  void writeInt(const char* name, std::int32_t value) override;

 private:
  // What could not be stored, by key, read in place of the storage's.
  std::map<std::string, std::int32_t> unstored_;
};

}  // namespace cantiere
