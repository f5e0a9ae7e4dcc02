// SPDX-License-Identifier: GPL-3.0-or-later
// A fixed dialog's frame on Wayland. A compositor that draws no frames
// (Weston) leaves them to the toolkit, whose frame always carries minimise,
// maximise and close buttons, whatever the window asks for; such a dialog
// is shown without the toolkit's frame and with a title bar of its own: the
// title, a border, and a press on the title that starts the compositor's
// own move.
#pragma once

class QWidget;

namespace cantiere {

// Whether the windows are Wayland's own (no XWayland): only there is the
// frame the toolkit's.
bool onWaylandItself();

// Gives `dialog`, already of its fixed size with its children placed, a
// title bar of its own above them; the window grows by the bar's height.
void giveOwnTitleBar(QWidget& dialog);

}  // namespace cantiere
