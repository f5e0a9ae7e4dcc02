// SPDX-License-Identifier: GPL-3.0-or-later
// Fixed-size windows that a window manager can give exactly their size.
#pragma once

#include <QSize>
#include <optional>

namespace cantiere::x11 {

// From now on, each time a window of the program gets new size hints, drops
// a resize step that its fixed size is not a whole number of. At a scale
// such as 1.5 Qt asks for steps of 2 device pixels even of a window whose
// smallest and largest sizes are one odd size, and openbox then makes the
// window a pixel smaller than the picture drawn for it. Does nothing off
// X11 or where the hints leave the size reachable (every whole scale).
void keepFixedSizesExact();

// What of a window's size hints (WM_NORMAL_HINTS) decides that; a part the
// hints leave out is empty.
struct SizeHints {
  std::optional<QSize> min, max, base, step;
};

// True when the hints allow one size only and a window manager that sizes
// windows in their steps, counted from the base (or from the smallest size
// where no base is given), could not reach it.
bool stepMissesFixedSize(const SizeHints& hints);

}  // namespace cantiere::x11
