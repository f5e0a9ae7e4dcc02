// SPDX-License-Identifier: GPL-3.0-or-later
// The text of the settings file: INI lines as Qt's settings classes write
// them ("[General]" holds the top-level values). Only top-level values are
// read or changed; every other line, a hand edit or a section of its own,
// is kept as it is.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cantiere {

class IniText {
 public:
  explicit IniText(std::string_view text = {});

  // The value text of `name` (names compared without regard to case): the
  // line spelt `ownSpelling` when there is one, else the line spelt exactly
  // `name`, else the first spelling in file order.
  std::optional<std::string> find(std::string_view name, std::string_view ownSpelling) const;
  // The integers held by every spelling of `name`, in file order; values
  // that are no decimal integer are left out.
  std::vector<std::int32_t> integers(std::string_view name) const;
  // Sets `spelling` = `value` where the first spelling of the name was, and
  // removes the others, so one spelling is left.
  void set(std::string_view spelling, std::string_view value);

  std::string text() const;

 private:
  struct Line {
    std::string text;     // without its line end
    std::string end;      // "\n", "\r\n" or "" (the last line)
    bool general = false;   // a "[General]" section header
    bool topLevel = false;  // a value line outside any named section
    std::string key;        // of a value line
    std::size_t valueAt = 0;
  };
  std::vector<const Line*> linesNamed(std::string_view name) const;

  std::vector<Line> lines_;
};

// The integer a value text holds: surrounding blanks and quotes and a
// trailing ";" comment are ignored; nothing else may surround the digits.
std::optional<std::int32_t> integerOf(std::string_view valueText);

// The decimal integer the text holds (optional sign, then digits, nothing
// else, within 32 bits), or nothing.
bool parseDecimal(const std::string& text, std::int32_t& out);

}  // namespace cantiere
