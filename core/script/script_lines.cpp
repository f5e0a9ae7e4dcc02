// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/script/script_lines.h"

#include <algorithm>
#include <istream>

namespace cantiere {

bool StreamLines::next(std::string& line) {
  line.clear();
  std::streambuf& in = *in_.rdbuf();
  int c = in.sbumpc();
  if (c == std::char_traits<char>::eof()) return false;
  for (; c != std::char_traits<char>::eof() && c != '\n'; c = in.sbumpc())
    if (line.size() <= kLongestLine) line.push_back(static_cast<char>(c));
  return true;
}

bool TextLines::next(std::string& line) {
  if (offset_ >= text_.size()) return false;
  const std::size_t end = std::min(text_.find('\n', offset_), text_.size());
  line.assign(text_.substr(offset_, std::min(end - offset_, kLongestLine + 1)));
  offset_ = end + 1;
  return true;
}

}  // namespace cantiere
