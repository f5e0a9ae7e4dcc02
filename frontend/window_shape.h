// SPDX-License-Identifier: GPL-3.0-or-later
// The outline of the handheld's case, read from its picture, so the window
// shows (and takes the mouse) only where the case is.
#pragma once

#include <QImage>
#include <QRegion>

namespace cantiere {

// The pixels of a case picture that belong to the case: all but the dark
// background that reaches the picture's edges (its corners, the notches
// beside the hinge). A picture with an alpha channel gives its opaque
// pixels. A null picture gives nothing (the caller keeps its whole window).
QRegion caseOutline(const QImage& picture);

}  // namespace cantiere
