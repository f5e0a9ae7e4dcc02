// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/script/script_command.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <optional>

#include "core/timing/anchored_time_of_day.h"

namespace cantiere {
namespace {

// A window dragged this far has left every screen there is; refusing the
// next drag keeps the window's arithmetic far from overflowing.
constexpr int kFarthestWindow = 1000000;

template <typename T>
bool wholeNumber(std::string_view s, T& out) {
  const char* end = s.data() + s.size();
  auto [p, ec] = std::from_chars(s.data(), end, out);
  return ec == std::errc() && p == end;
}

bool toInt(const std::string& s, int& out) { return wholeNumber(s, out); }

// Quoted in an error, a word is cut short and escaped: a hostile line may
// be long and hold a terminal's control sequences.
std::string quoted(const std::string& word) { return "'" + printable(word, 40) + "'"; }

constexpr std::pair<const char*, int> kKeyNames[] = {
    {"ctrl", VkCtrl}, {"esc", VkEsc}, {"left", VkLeft}, {"up", VkUp}, {"right", VkRight},
    {"down", VkDown}, {"f1", VkF1},   {"f2", VkF2},     {"f3", VkF3}, {"f4", VkF4}};

std::optional<int> keyCode(const std::string& word) {
  for (const auto& [name, code] : kKeyNames)
    if (word == name) return code;
  int code;
  if (toInt(word, code) && code >= 0 && code <= 0xFFFF) return code;
  return std::nullopt;
}

constexpr std::pair<const char*, MouseButton> kButtons[] = {
    {"left", MouseButton::Left}, {"right", MouseButton::Right}, {"middle", MouseButton::Middle}};

std::optional<MouseButton> buttonNamed(const std::string& word) {
  for (const auto& [name, button] : kButtons)
    if (word == name) return button;
  return std::nullopt;
}

const char* buttonName(MouseButton b) {
  for (const auto& [name, button] : kButtons)
    if (button == b) return name;
  return "left";
}

constexpr std::pair<const char*, MenuEntry> kEntries[] = {
    {"PM_1About", MenuEntry::PM_1About},       {"PM_3Readme", MenuEntry::PM_3Readme},
    {"PM_4Whatsnew", MenuEntry::PM_4Whatsnew}, {"PM_6Instruct", MenuEntry::PM_6Instruct},
    {"PM_8Hiscore", MenuEntry::PM_8Hiscore},   {"PM_10Exit", MenuEntry::PM_10Exit}};

bool within(long long v, long long limit) { return v >= -limit && v <= limit; }

bool inRange(int x, int y) { return within(x, kFarthestPoint) && within(y, kFarthestPoint); }

// NAME or X Y at words[at]; `next` is the word after it.
bool point(const std::vector<std::string>& w, std::size_t at, ScriptCommand& c, std::size_t& next,
           std::string& error) {
  if (at >= w.size()) {
    error = "missing element name or point";
    return false;
  }
  if (toInt(w[at], c.x)) {
    if (at + 1 >= w.size() || !toInt(w[at + 1], c.y)) {
      error = "a point needs two integers";
      return false;
    }
    if (!inRange(c.x, c.y)) {
      error = "a point lies within -100000 and 100000";
      return false;
    }
    next = at + 2;
    return true;
  }
  const auto e = elementByName(w[at]);
  if (!e) {
    error = "unknown element " + quoted(w[at]);
    return false;
  }
  const Rect& r = info(*e).rect;
  c.x = r.left + r.width / 2;
  c.y = r.top + r.height / 2;
  next = at + 1;
  return true;
}

// Digits only, at most `width` of them.
bool digits(const std::string& s, int width, int& out) {
  if (s.empty() || static_cast<int>(s.size()) > width) return false;
  for (char ch : s)
    if (ch < '0' || ch > '9') return false;
  return toInt(s, out);
}

std::string twoDigits(int n) {
  char text[16];
  std::snprintf(text, sizeof text, "%02d", n);
  return text;
}

}  // namespace

bool parseInteger(std::string_view text, std::int64_t& value) { return wholeNumber(text, value); }
bool parseInteger(std::string_view text, int& value) { return wholeNumber(text, value); }

bool parseScreenSize(std::string_view text, ScreenSize& size) {
  const auto x = text.find('x');
  int w, h;
  if (x == std::string_view::npos || !parseInteger(text.substr(0, x), w) ||
      !parseInteger(text.substr(x + 1), h))
    return false;
  if (w <= 0 || h <= 0 || w > kFarthestPoint || h > kFarthestPoint) return false;
  size = {w, h};
  return true;
}

std::vector<std::string> scriptWords(const std::string& line) {
  // White space as a stream reads it; no stream, as most lines are blank
  // or comments and a file may hold millions of them.
  const auto space = [](char c) { return c == ' ' || (c >= '\t' && c <= '\r'); };
  const std::size_t end = std::min(line.find('#'), line.size());
  std::vector<std::string> w;
  for (std::size_t at = 0;;) {
    while (at < end && space(line[at])) ++at;
    if (at == end) return w;
    std::size_t to = at;
    while (to < end && !space(line[to])) ++to;
    w.emplace_back(line, at, to - at);
    at = to;
  }
}

std::string printable(std::string_view text, std::size_t longest) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out;
  for (const char ch : text) {
    if (out.size() >= longest) return out + "...";
    const auto c = static_cast<unsigned char>(ch);
    if (c == '\\') {
      out += "\\\\";
    } else if (c >= 0x20 && c < 0x7f) {
      out += ch;
    } else {
      out += {'\\', 'x', kHex[c >> 4], kHex[c & 15]};
    }
  }
  return out;
}

bool isInput(Verb v) { return v <= Verb::Menu; }

bool parseCommand(const std::vector<std::string>& w, ScriptCommand& c, std::string& error) {
  c = ScriptCommand{};
  const std::string& cmd = w.at(0);
  auto noMore = [&](std::size_t count) {
    if (w.size() > count) {
      error = "unexpected " + quoted(w[count]);
      return false;
    }
    return true;
  };

  if (cmd == "play") {
    c.verb = Verb::Play;
    if (w.size() < 2 || !toInt(w[1], c.x) || c.x < 0 || c.x >= kSoundModeCount) {
      error = "play needs a sound-list entry 0, 1 or 2";
      return false;
    }
    return noMore(2);
  }
  if (cmd == "press" || cmd == "click") {
    c.verb = cmd == "press" ? Verb::Press : Verb::Click;
    std::size_t next;
    if (!point(w, 1, c, next, error)) return false;
    if (c.verb == Verb::Press && next < w.size()) {
      const auto b = buttonNamed(w[next]);
      if (!b) {
        error = "unknown mouse button " + quoted(w[next]);
        return false;
      }
      c.button = *b;
      c.buttonNamed = true;
      ++next;
    }
    return noMore(next);
  }
  if (cmd == "release") {
    c.verb = Verb::Release;
    if (w.size() > 1) {
      const auto b = buttonNamed(w[1]);
      if (!b) {
        error = "unknown mouse button " + quoted(w[1]);
        return false;
      }
      c.button = *b;
      c.buttonNamed = true;
    }
    return noMore(w.size() > 1 ? 2 : 1);
  }
  if (cmd == "move") {
    c.verb = Verb::Move;
    if (w.size() != 3 || !toInt(w[1], c.x) || !toInt(w[2], c.y)) {
      error = "move needs a point X Y";
      return false;
    }
    if (!inRange(c.x, c.y)) {
      error = "a point lies within -100000 and 100000";
      return false;
    }
    return true;
  }
  if (cmd == "keydown" || cmd == "keyup") {
    c.verb = cmd == "keydown" ? Verb::KeyDown : Verb::KeyUp;
    const auto key = w.size() == 2 ? keyCode(w[1]) : std::nullopt;
    if (!key) {
      error = cmd + " needs one key";
      return false;
    }
    c.x = *key;
    return true;
  }
  if (cmd == "menu") {
    c.verb = Verb::Menu;
    if (w.size() == 2) {
      for (const auto& [name, entry] : kEntries) {
        if (w[1] == name) {
          c.x = static_cast<int>(entry);
          return true;
        }
      }
    }
    error = "unknown menu entry";
    return false;
  }
  if (cmd == "wait") {
    c.verb = Verb::Wait;
    int ms;
    if (w.size() != 2 || !toInt(w[1], ms) || ms < 0) {
      error = "wait needs a number of milliseconds";
      return false;
    }
    c.ms = ms;
    return true;
  }
  if (cmd == "timeofday") {
    c.verb = Verb::TimeOfDay;
    if (w.size() < 2 || w.size() > 3 || !parseTimeOfDay(w[1], c.ms) ||
        (w.size() == 3 && !parseZone(w[2], c.offsetMinutes))) {
      error = "timeofday needs HH:MM[:SS[.mmm]] and may name a zone as +HH:MM or -HH:MM";
      return false;
    }
    return true;
  }
  if (cmd == "dump") {
    c.verb = Verb::Dump;
    return noMore(1);
  }
  if (cmd == "snapshot") {
    c.verb = Verb::Snapshot;
    c.x = 100;
    if (w.size() < 2 || w.size() > 3) {
      error = "snapshot needs one file name and may take a zoom in percent";
      return false;
    }
    if (w.size() == 3 && (!toInt(w[2], c.x) || c.x <= 0)) {
      error = "snapshot's zoom is a whole number of percent";
      return false;
    }
    return true;
  }
  error = "unknown command " + quoted(cmd);
  return false;
}

std::string formatCommand(const ScriptCommand& c) {
  const std::string point = std::to_string(c.x) + " " + std::to_string(c.y);
  auto key = [&] {
    for (const auto& [name, code] : kKeyNames)
      if (code == c.x) return std::string(name);
    return std::to_string(c.x);
  };
  switch (c.verb) {
    case Verb::Play: return "play " + std::to_string(c.x);
    case Verb::Press:
      return "press " + point + (c.buttonNamed ? std::string(" ") + buttonName(c.button) : "");
    case Verb::Click: return "click " + point;
    case Verb::Release:
      return c.buttonNamed ? std::string("release ") + buttonName(c.button) : "release";
    case Verb::Move: return "move " + point;
    case Verb::KeyDown: return "keydown " + key();
    case Verb::KeyUp: return "keyup " + key();
    case Verb::Menu:
      for (const auto& [name, entry] : kEntries)
        if (static_cast<int>(entry) == c.x) return std::string("menu ") + name;
      return "menu ?";
    case Verb::Wait: return "wait " + std::to_string(c.ms);
    case Verb::TimeOfDay:
      return "timeofday " + formatTimeOfDay(c.ms) + " " + formatZone(c.offsetMinutes);
    case Verb::Dump: return "dump";
    case Verb::Snapshot: return "# snapshot";  // its file name is not kept
  }
  return "";
}

bool applyInput(const ScriptCommand& c, Program& p, std::string& error) {
  const WindowGeometry& g = p.form1.window();
  switch (c.verb) {
    case Verb::Play:
      if (!p.splash.visible) {
        error = "the launcher is closed";
        return false;
      }
      p.splash.CB_SoundChange(c.x);
      p.splash.Puls_PlayClick();
      return true;
    case Verb::Press:
    case Verb::Click:
      // A point outside the window's client area is not on the window.
      if (c.x < 0 || c.y < 0 || c.x >= g.width || c.y >= g.height) return true;
      p.pointer.press(c.x, c.y, c.verb == Verb::Click ? MouseButton::Left : c.button);
      if (c.verb == Verb::Click) p.pointer.release(MouseButton::Left);
      return true;
    case Verb::Release:
      p.pointer.release(c.buttonNamed ? c.button : p.pointer.heldButton());
      return true;
    case Verb::Move:
      if (!within(g.left, kFarthestWindow) || !within(g.top, kFarthestWindow)) {
        error = "the window has been dragged out of reach";
        return false;
      }
      p.pointer.move(c.x, c.y);
      return true;
    case Verb::KeyDown: p.keyDown(c.x); return true;
    case Verb::KeyUp: p.keyUp(c.x); return true;
    case Verb::Menu: p.splash.choose(static_cast<MenuEntry>(c.x)); return true;
    default:
      error = "not an input";
      return false;
  }
}

bool parseTimeOfDay(const std::string& text, std::int64_t& ms) {
  // HH:MM, HH:MM:SS or HH:MM:SS.mmm; the fraction counts milliseconds.
  int field[4] = {0, 0, 0, 0};
  static constexpr char kSeparators[] = {':', ':', '.'};
  std::size_t from = 0;
  int n = 0;
  for (; n < 4; ++n) {
    std::size_t to = from;
    while (to < text.size() && text[to] >= '0' && text[to] <= '9') ++to;
    if (!digits(text.substr(from, to - from), 3, field[n])) return false;
    if (to == text.size()) break;
    if (n == 3 || text[to] != kSeparators[n]) return false;
    from = to + 1;
  }
  if (n < 1) return false;
  if (field[0] > 23 || field[1] > 59 || field[2] > 59 || field[3] > 999) return false;
  ms = ((field[0] * 60LL + field[1]) * 60 + field[2]) * 1000 + field[3];
  return true;
}

bool parseZone(const std::string& text, std::int32_t& minutes) {
  int h, m;
  if (text.size() != 6 || (text[0] != '+' && text[0] != '-') || text[3] != ':' ||
      !digits(text.substr(1, 2), 2, h) || !digits(text.substr(4, 2), 2, m) || h > 23 || m > 59)
    return false;
  minutes = (text[0] == '-' ? -1 : 1) * (h * 60 + m);
  return true;
}

// Printing reduces a time and a zone into the day: the same value a day
// on is the same local time of day, which is all a clock shows, and a
// line printed out of range would be refused when read back (glibc takes a
// zone of up to 24:59). Clamping would move the clock instead.
std::string formatTimeOfDay(std::int64_t ms) {
  ms = AnchoredTimeOfDay::wrap(ms);
  char text[48];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d.%03d", static_cast<int>(ms / 3600000),
                static_cast<int>(ms / 60000 % 60), static_cast<int>(ms / 1000 % 60),
                static_cast<int>(ms % 1000));
  return text;
}

std::string formatZone(std::int32_t minutes) {
  minutes %= 24 * 60;  // keeps the sign, so the zone keeps its side of universal time
  const int a = minutes < 0 ? -minutes : minutes;
  return (minutes < 0 ? "-" : "+") + twoDigits(a / 60) + ":" + twoDigits(a % 60);
}

}  // namespace cantiere
