// SPDX-License-Identifier: GPL-3.0-or-later
// What every window of the program asks of the window system: the monitors,
// who places windows, and the keyboard.
#pragma once

#include "common/view/window_placement.h"

class QWidget;

namespace cantiere {

// The screens Qt knows as monitors, the primary first.
Monitors qtMonitors();

// Whether the windows are placed by the compositor rather than the program:
// on Wayland itself, and on the XWayland of a wlroots compositor (sway),
// which centres every X11 window and every change of its size.
bool compositorPlacesWindows();

// Whether a Wayland compositor runs the desktop: on Wayland itself, and on
// the XWayland of sway or Weston. It gives each new window the keyboard and
// takes it back from a program that hands it on (Weston), so a window that
// must leave the keyboard where it is is shown as a note instead, which it
// neither places nor focuses.
bool compositorFocusesNewWindows();

// Brings a window to the front with the keyboard, also on an X server
// without a window manager, where nothing activates a window by itself.
void bringToFront(QWidget* window);
// Gives a window the keyboard without raising it.
void giveKeyboard(QWidget* window);

}  // namespace cantiere
