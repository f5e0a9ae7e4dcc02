// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/settings/memory_settings.h"

#include <cctype>

namespace cantiere {
namespace {

std::string lower(const char* name) {
  std::string s(name);
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

}  // namespace

std::int32_t MemorySettings::readInt(const char* name, std::int32_t fallback) {
  const auto it = values.find(lower(name));
  return it == values.end() ? fallback : it->second;
}

void MemorySettings::writeInt(const char* name, std::int32_t value) {
  values[lower(name)] = value;
  writes.push_back(std::string(name) + "=" + std::to_string(value));
}

}  // namespace cantiere
