// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/files/ini_text.h"

#include <algorithm>
#include <limits>

namespace cantiere {
namespace {

constexpr std::string_view kBlanks = " \t";

std::string_view trimmed(std::string_view s) {
  const auto first = s.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {};
  return s.substr(first, s.find_last_not_of(kBlanks) - first + 1);
}

bool sameName(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
    return lower(x) == lower(y);
  });
}

}  // namespace

bool parseDecimal(const std::string& text, std::int32_t& out) {
  std::size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  if (i == text.size()) return false;
  std::int64_t value = 0;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
    if (value > std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1) return false;
  }
  if (negative) value = -value;
  if (value < std::numeric_limits<std::int32_t>::min() ||
      value > std::numeric_limits<std::int32_t>::max())
    return false;
  out = static_cast<std::int32_t>(value);
  return true;
}

std::optional<std::int32_t> integerOf(std::string_view valueText) {
  std::string_view v = trimmed(valueText);
  if (!v.empty() && v.front() == '"') {
    const auto close = v.find('"', 1);
    if (close == std::string_view::npos) return {};
    const std::string_view rest = trimmed(v.substr(close + 1));
    if (!rest.empty() && rest.front() != ';') return {};
    v = v.substr(1, close - 1);
  } else {
    v = trimmed(v.substr(0, v.find(';')));
  }
  std::int32_t out;
  if (!parseDecimal(std::string(v), out)) return {};
  return out;
}

IniText::IniText(std::string_view text) {
  // A byte-order mark is no part of the first name.
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  bool inTopLevel = true;  // before any section, or in "[General]"
  while (!text.empty()) {
    Line line;
    const auto nl = text.find('\n');
    const std::string_view raw = text.substr(0, nl);
    text.remove_prefix(nl == std::string_view::npos ? text.size() : nl + 1);
    const bool cr = !raw.empty() && raw.back() == '\r';
    line.text = raw.substr(0, raw.size() - (cr ? 1 : 0));
    line.end = nl == std::string_view::npos ? "" : cr ? "\r\n" : "\n";
    const std::string_view t = trimmed(line.text);
    if (!t.empty() && t.front() == '[') {
      const auto close = t.find(']');
      inTopLevel = close != std::string_view::npos && sameName(trimmed(t.substr(1, close - 1)), "General");
      line.general = inTopLevel;
    } else if (const auto eq = line.text.find('='); inTopLevel && eq != std::string::npos &&
                                                      !t.empty() && t.front() != ';' && t.front() != '#') {
      line.key = trimmed(std::string_view(line.text).substr(0, eq));
      line.valueAt = eq + 1;
      line.topLevel = !line.key.empty();
    }
    lines_.push_back(std::move(line));
  }
}

std::vector<const IniText::Line*> IniText::linesNamed(std::string_view name) const {
  std::vector<const Line*> found;
  for (const Line& line : lines_)
    if (line.topLevel && sameName(line.key, name)) found.push_back(&line);
  return found;
}

std::optional<std::string> IniText::find(std::string_view name, std::string_view ownSpelling) const {
  const std::vector<const Line*> found = linesNamed(name);
  if (found.empty()) return {};
  const Line* chosen = found.front();
  for (std::string_view spelling : {name, ownSpelling}) {
    const auto exact = std::find_if(found.begin(), found.end(),
                                    [&](const Line* line) { return line->key == spelling; });
    if (exact != found.end()) chosen = *exact;
  }
  return chosen->text.substr(chosen->valueAt);
}

std::vector<std::int32_t> IniText::integers(std::string_view name) const {
  std::vector<std::int32_t> values;
  for (const Line* line : linesNamed(name))
    if (const auto v = integerOf(std::string_view(line->text).substr(line->valueAt))) values.push_back(*v);
  return values;
}

void IniText::set(std::string_view spelling, std::string_view value) {
  Line entry;
  entry.text = std::string(spelling) + "=" + std::string(value);
  entry.topLevel = true;
  entry.key = spelling;
  entry.valueAt = spelling.size() + 1;

  bool replaced = false;
  for (std::size_t i = 0; i < lines_.size();) {
    if (!lines_[i].topLevel || !sameName(lines_[i].key, spelling)) {
      ++i;
    } else if (!replaced) {
      entry.end = lines_[i].end;
      lines_[i] = entry;
      replaced = true;
      ++i;
    } else {
      if (lines_[i].end.empty() && i > 0) lines_[i - 1].end.clear();  // keep the file's last line end
      lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(i));
    }
  }
  if (replaced) return;

  // A new name goes after the last top-level value or "[General]" header,
  // else into a "[General]" section of its own at the top of the file.
  const std::string end = lines_.empty() || lines_.front().end != "\r\n" ? "\n" : "\r\n";
  entry.end = end;
  for (std::size_t i = lines_.size(); i-- > 0;) {
    if (lines_[i].topLevel || lines_[i].general) {
      if (lines_[i].end.empty()) lines_[i].end = end;
      lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(i + 1), entry);
      return;
    }
  }
  Line header;
  header.text = "[General]";
  header.end = end;
  header.general = true;
  const bool otherSections = !lines_.empty();
  lines_.insert(lines_.begin(), {header, entry});
  if (otherSections) {
    Line blank;
    blank.end = end;
    lines_.insert(lines_.begin() + 2, blank);
  }
}

std::string IniText::text() const {
  std::string out;
  for (const Line& line : lines_) out += line.text + line.end;
  return out;
}

}  // namespace cantiere
