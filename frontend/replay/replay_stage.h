// SPDX-License-Identifier: GPL-3.0-or-later
// The windows a replay borrows, as the program hands them over: the
// handheld's, which shows the replay, and the launcher, hidden meanwhile
// and given back after.
#pragma once

#include <functional>

class QWidget;

namespace cantiere {

class HandheldWindow;

struct ReplayStage {
  HandheldWindow* handheld = nullptr;
  QWidget* launcher = nullptr;
  std::function<void()> showLauncher;
  // Whether the program has shown its first window yet (the launcher comes
  // first, and a replay waits for it).
  std::function<bool()> started;
};

}  // namespace cantiere
