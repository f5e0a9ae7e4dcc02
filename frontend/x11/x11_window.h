// SPDX-License-Identifier: GPL-3.0-or-later
// What the front end asks of the X server directly, where Qt has no word
// for it or takes the window manager's word for it. Off X11 every call does
// nothing and answers "unknown".
#pragma once

#include <QPoint>
#include <optional>
#include <string>

class QWidget;

namespace cantiere::x11 {

// Where the window's client area really lies on the screen, in window
// pixels. Some window
// managers tell the program a wrong position (or none) after they reparent
// or refuse to move a window; the server's own answer is the truth.
std::optional<QPoint> clientOrigin(const QWidget* window);

// Where the outer corner of the window's frame lies on the screen, in
// window pixels: the window manager's frame round it, or the window itself
// where none is. Qt forgets the frame each time the window is shown again
// (and then takes the client area's corner for the frame's).
std::optional<QPoint> frameOrigin(const QWidget* window);

// Gives the keyboard to a shown window without raising it, for window
// managers that ignore a program's activation request.
bool giveKeyboard(const QWidget* window);

// Sends the window's shape again each time the server reports a new size.
// A window manager that clips a shape to the window's size when it is set
// (mutter does) would otherwise keep showing only as much of a grown window
// as it had when its shape was set, which is before the window manager has
// carried out the resize.
void keepShapeThroughResizes(QWidget* window);

// The name the X window manager gives itself (_NET_WM_NAME of its check
// window); empty when there is none or the platform is not X11.
std::string windowManagerName();

// Asks for a title and a border only: the window can be moved, but not
// resized, minimised, maximised or closed from its frame.
void fixedDialogFrame(QWidget* window);

}  // namespace cantiere::x11
