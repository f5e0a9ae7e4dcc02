// SPDX-License-Identifier: GPL-3.0-or-later
// A stored value as the browser's storage keeps it: decimal text under a
// name compared without regard to case. Anything a person or another page
// left there that is not a decimal integer reads as the default.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace cantiere {

// The storage key of a setting: one per name whatever its case, so
// "HiScoreA" as written and "HiscoreA" as read are one value.
std::string storageKey(std::string_view name);
// An optional sign and decimal digits within 32 bits; nothing else.
std::optional<std::int32_t> parseStoredInt(std::string_view text);

}  // namespace cantiere
