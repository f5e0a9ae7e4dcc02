// SPDX-License-Identifier: GPL-3.0-or-later
// The script language of cantiere-sim, one command a line, shared by the
// driver, the desktop's recorder and its replay: a line means the same to
// all three because all three parse, print and apply it here.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/launcher/program.h"

namespace cantiere {

enum class Verb : std::uint8_t {
  Play, Press, Click, Release, Move, KeyDown, KeyUp, Menu,  // inputs
  Wait, TimeOfDay,                                          // time
  Dump, Snapshot,                                           // output
};

// Points further out than this are refused: the model's pixel arithmetic
// must not overflow, whatever a hand-edited file says.
inline constexpr int kFarthestPoint = 100000;

struct ScriptCommand {
  Verb verb = Verb::Dump;
  MouseButton button = MouseButton::Left;
  bool buttonNamed = false;        // press, release: a button was given
  std::int32_t x = 0, y = 0;       // the point; play: the entry; keys: the code; menu: the entry;
                                   // snapshot: the zoom in percent
  std::int64_t ms = 0;             // wait: milliseconds; timeofday: universal ms of the day
  std::int32_t offsetMinutes = 0;  // timeofday: how far local time runs ahead of universal
  bool operator==(const ScriptCommand&) const = default;
};

// A whole decimal number within its type's range: an optional minus and
// digits, nothing else.
bool parseInteger(std::string_view text, std::int64_t& value);
bool parseInteger(std::string_view text, int& value);
// A screen's size, "WxH", each from 1 to kFarthestPoint.
bool parseScreenSize(std::string_view text, ScreenSize& size);

// The words of a line, its comment (from `#`) dropped.
std::vector<std::string> scriptWords(const std::string& line);

// Text from a file, fit to be shown to a person: cut after about `longest`
// characters ("..." then follows), and every byte that is not printable
// ASCII written as an escape (\xNN, and a backslash as \\), so that no
// file can move a terminal's cursor, clear it or change its colours.
std::string printable(std::string_view text, std::size_t longest);

// False, with `error` set, when the words are not a command. A snapshot's
// file name stays in the words (words[1]).
bool parseCommand(const std::vector<std::string>& words, ScriptCommand& command,
                  std::string& error);

// The line that parses back to the command (element names become points).
std::string formatCommand(const ScriptCommand& command);

bool isInput(Verb verb);

// Hands an input to the program as the driver always has. False, with
// `error` set, when the program is in no state to take it (PLAY with the
// launcher closed, a drag that has run off every screen).
bool applyInput(const ScriptCommand& command, Program& program, std::string& error);

// "HH:MM[:SS[.mmm]]" as milliseconds of the day; "+HH:MM" or "-HH:MM" as
// minutes. False on anything else. Printing takes any value and writes the
// same time of day within those ranges.
bool parseTimeOfDay(const std::string& text, std::int64_t& ms);
bool parseZone(const std::string& text, std::int32_t& minutes);
std::string formatTimeOfDay(std::int64_t ms);
std::string formatZone(std::int32_t minutes);

}  // namespace cantiere
