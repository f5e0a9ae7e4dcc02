// SPDX-License-Identifier: GPL-3.0-or-later
// The desktop the model talks to, as a page: the viewport is the screen,
// the launcher and the about window are parts of the page, "open" opens a
// page (the documents are pages of the site), the message box is the page's
// own, and the end of the program leaves a page that can start it again.
#pragma once

#include <functional>

#include "core/handheld/desktop.h"
#include "web/page_trace.h"

namespace cantiere {

class PageDesktop : public Desktop {
 public:
  explicit PageDesktop(PageTrace& trace) : trace_(trace) {}

  std::function<ScreenSize()> screenSize;
  std::function<void(const WindowGeometry&)> moved;
  std::function<void(bool shown)> launcherShown;
  std::function<void()> ended;

  ScreenSize screen() const override { return screenSize(); }
  void windowChanged(const WindowGeometry& g) override;
  void showLauncher() override { launcherShown(true); }
  void hideLauncher() override { launcherShown(false); }
  void showAbout() override;
  void open(const char* target) override;
  void beep() override;
  void message(const char* text) override;
  void exit() override;
  bool exited() const { return exited_; }

  // Where a target of the desktop's "open" goes on the site: the documents
  // are pages beside the page, the manual is the readme's page on playing,
  // a link with a scheme is itself.
  static std::string pageFor(const std::string& target);

 private:
  PageTrace& trace_;
  bool exited_ = false;
};

}  // namespace cantiere
