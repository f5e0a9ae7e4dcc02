// SPDX-License-Identifier: GPL-3.0-or-later
// Fixed-size windows that a window manager can give exactly their size.
#pragma once

namespace cantiere::x11 {

// From now on, each time a window of the program gets new size hints, drops
// a resize step that its fixed size is not a whole number of. At a scale
// such as 1.5 Qt asks for steps of 2 device pixels even of a window whose
// smallest and largest sizes are one odd size, and openbox then makes the
// window a pixel smaller than the picture drawn for it. Does nothing off
// X11 or where the hints leave the size reachable (every whole scale).
void keepFixedSizesExact();

}  // namespace cantiere::x11
