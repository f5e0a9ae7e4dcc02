// SPDX-License-Identifier: GPL-3.0-or-later
#include "web/local_storage_settings.h"

#include <cstdlib>

#include "web/js_bridge.h"
#include "web/stored_value.h"

namespace cantiere {

std::int32_t LocalStorageSettings::readInt(const char* name, std::int32_t fallback) {
  const std::string key = storageKey(name);
  if (const auto kept = unstored_.find(key); kept != unstored_.end()) return kept->second;
  char* text = js_storage_get(key.c_str());
  if (!text) return fallback;
  const auto value = parseStoredInt(text);
  std::free(text);
  return value.value_or(fallback);
}

void LocalStorageSettings::writeInt(const char* name, std::int32_t value) {
  const std::string key = storageKey(name);
  if (js_storage_set(key.c_str(), std::to_string(value).c_str())) {
    unstored_.erase(key);
  } else {
    unstored_[key] = value;
  }
}

}  // namespace cantiere
