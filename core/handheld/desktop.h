// SPDX-License-Identifier: GPL-3.0-or-later
// What the model asks of the desktop around it. The desktop program answers
// with real windows; the scripted driver prints a trace line instead.
#pragma once

namespace cantiere {

struct WindowGeometry {
  int left, top, width, height;  // client area, in pixels
  bool operator==(const WindowGeometry&) const = default;
};

struct ScreenSize {
  int width, height;
};

class Desktop {
 public:
  virtual ~Desktop() = default;
  virtual ScreenSize screen() const = 0;
  virtual void windowChanged(const WindowGeometry& g) = 0;
  virtual void showLauncher() = 0;
  virtual void hideLauncher() = 0;
  virtual void showAbout() = 0;
  // The desktop's "open" action for a document or link; its result is not
  // looked at.
  virtual void open(const char* target) = 0;
  virtual void beep() = 0;
  // A modal message box with one OK button; returns once it is dismissed.
  virtual void message(const char* text) = 0;
  // The application ends (the handheld window has closed or the launcher
  // asked to terminate).
  virtual void exit() = 0;
};

}  // namespace cantiere
