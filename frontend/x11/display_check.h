// SPDX-License-Identifier: GPL-3.0-or-later
// Whether the window system can be reached, asked before Qt starts: with no
// display Qt aborts, and the person would see a core dump instead of a
// hint to the driver that runs without one.
#pragma once

#include <optional>
#include <string>

namespace cantiere {

// What keeps the program from opening windows before Qt is asked: no
// display named for X11 or Wayland. Nothing when one is named, or for a
// platform that needs none. `platform` and `display` are Qt's -platform and
// -display options.
std::optional<std::string> displayProblem(const std::string& platform, const std::string& display);

// The one line the program ends with when it has no display, and the exit
// status that goes with it.
constexpr int kNoDisplayStatus = 1;
std::string noDisplayMessage(const std::string& reason);

// Until `release`, Qt's start-up messages are held back, and a start-up that
// finds no usable platform after all ends the program with the line above
// instead of an abort.
void guardWindowSystemStart(const std::string& platform, const std::string& display);
void releaseWindowSystemStart();

}  // namespace cantiere
