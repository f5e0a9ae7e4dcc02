// SPDX-License-Identifier: GPL-3.0-or-later
// The X server's side of the keyboard and the pointer.
#pragma once

#include <QPoint>
#include <optional>

namespace cantiere {

// Asks the X server to send a held key as repeated presses alone
// (detectable auto-repeat), where the platform is X11. True when granted.
bool enableDetectableAutoRepeat();

// Where the pointer is on the X screen, in device pixels; nothing where the
// platform is not X11.
std::optional<QPoint> pointerInDevicePixels();

}  // namespace cantiere
