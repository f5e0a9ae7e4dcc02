// SPDX-License-Identifier: GPL-3.0-or-later
// The command line of `cantiere`, read before any window-system start, so
// that --help, --version and a mistake need no display. An option is a
// field here and a row in the table of parseCommandLine().
#pragma once

#include <iosfwd>
#include <optional>
#include <string>

namespace cantiere {

struct CommandLine {
  std::optional<std::string> data;  // --data DIR
  std::string replay;               // --replay FILE
  std::string record;               // --record FILE
  // Qt's own options, left in argv for QApplication; the display check
  // needs to know them.
  std::string platform;  // -platform NAME
  std::string display;   // -display NAME
};

// Reads argv into `options`. Returns the exit status when the program is to
// end at once: 0 after --help, --help-all or --version (printed on `out`),
// 2 after a mistake (told in one line on `err`).
std::optional<int> parseCommandLine(int argc, const char* const* argv, CommandLine& options,
                                    std::ostream& out, std::ostream& err);

}  // namespace cantiere
