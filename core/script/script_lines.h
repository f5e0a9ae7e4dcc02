// SPDX-License-Identifier: GPL-3.0-or-later
// The lines of a script, read from a stream or from a text held once in
// memory, never more than one line at a time and never more of a line than
// a script may hold: a hostile file of one endless line must not fill the
// memory before it is refused.
#pragma once

#include <cstddef>
#include <iosfwd>
#include <string>
#include <string_view>

namespace cantiere {

// The longest line a script may have. The longest the programs write is a
// dump's `lit` line with every element lit, some 1,200 characters; a line
// four times that long is no script of ours.
inline constexpr std::size_t kLongestLine = 4096;

class ScriptLines {
 public:
  virtual ~ScriptLines() = default;
  // The next line, without its end of line; false at the end. Of a line
  // longer than kLongestLine only the first kLongestLine + 1 characters are
  // kept (the rest is read past), which is enough to refuse it.
  virtual bool next(std::string& line) = 0;
};

class StreamLines : public ScriptLines {
 public:
  explicit StreamLines(std::istream& in) : in_(in) {}
  bool next(std::string& line) override;

 private:
  std::istream& in_;
};

// Over a text that outlives it.
class TextLines : public ScriptLines {
 public:
  explicit TextLines(std::string_view text) : text_(text) {}
  bool next(std::string& line) override;
  // How far the lines have been read, in characters of the text.
  std::size_t offset() const { return offset_; }

 private:
  std::string_view text_;
  std::size_t offset_ = 0;
};

}  // namespace cantiere
