// SPDX-License-Identifier: GPL-3.0-or-later
#include "web/stored_value.h"

#include <charconv>

namespace cantiere {

std::string storageKey(std::string_view name) {
  std::string key = "cantiere.";
  for (char c : name) key += c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
  return key;
}

std::optional<std::int32_t> parseStoredInt(std::string_view text) {
  // from_chars takes no '+', and no space: both are refused here too,
  // except a leading '+' that decimal text may carry.
  if (!text.empty() && text.front() == '+') {
    text.remove_prefix(1);
    if (!text.empty() && text.front() == '-') return std::nullopt;
  }
  std::int32_t value = 0;
  const char* end = text.data() + text.size();
  const auto [p, ec] = std::from_chars(text.data(), end, value);
  if (text.empty() || ec != std::errc() || p != end) return std::nullopt;
  return value;
}

}  // namespace cantiere
