// SPDX-License-Identifier: GPL-3.0-or-later
// The driver's `dump`: the time, the window, the lit elements, the digits,
// `GameState` and the timers, one line each. A saved game ends with it, so
// the same text is written by the desktop and checked by the driver.
#pragma once

#include <iosfwd>
#include <optional>
#include <string>

#include "core/handheld/handheld.h"

namespace cantiere {

// "window left=L top=T width=W height=H"
std::string windowText(const WindowGeometry& g);
// The digit a digit position shows ("0".."9"), or "-" for none.
std::string digitOf(Element picture);

// The trace's line of a change, after its time: "+NAME" or "-NAME", and
// "digit P D" when the picture of digit position P changes (none for any
// other element's picture).
std::string litLine(Element e, bool lit);
std::optional<std::string> digitLine(Element e, Element picture);

// Every line of the dump after its first ("time N").
void writeStateLines(std::ostream& out, const Handheld& h);
void writeDump(std::ostream& out, const Handheld& h, std::int64_t time);

}  // namespace cantiere
