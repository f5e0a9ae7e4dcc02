// SPDX-License-Identifier: GPL-3.0-or-later
// When a fixed-size window's resize step must go: a window manager sizes a
// window as base + n steps (the smallest size standing in for a missing
// base), so a step the one allowed size is no whole number of from the
// base would make that size unreachable.
#include <gtest/gtest.h>

#include "frontend/x11/fixed_size_hints.h"

namespace cantiere::x11 {
namespace {

struct Case {
  const char* what;
  SizeHints hints;
  bool misses;
};

TEST(FixedSizeHints, AStepIsDroppedOnlyWhereItMissesTheOneAllowedSize) {
  const QSize open(696, 857);  // the open case at a scale of 1.5
  const Case cases[] = {
      {"odd height, steps of 2 from 0", {open, open, QSize(0, 0), QSize(2, 2)}, true},
      {"odd width, steps of 2 from -2", {QSize(369, 470), QSize(369, 470), QSize(-2, -2),
                                         QSize(2, 2)}, true},
      {"steps across only", {QSize(100, 100), QSize(100, 100), QSize(0, 0), QSize(3, 1)}, true},
      {"steps down only", {QSize(99, 100), QSize(99, 100), QSize(0, 0), QSize(1, 3)}, true},
      {"even size at scale 2", {QSize(928, 1142), QSize(928, 1142), QSize(-2, -2), QSize(2, 2)},
       false},
      {"multiple of 3 at scale 3", {QSize(1392, 1713), QSize(1392, 1713), QSize(0, 0),
                                    QSize(3, 3)}, false},
      {"no base: counted from the size itself", {open, open, {}, QSize(2, 2)}, false},
      {"steps of one pixel", {open, open, QSize(0, 0), QSize(1, 1)}, false},
      {"no step", {open, open, QSize(0, 0), {}}, false},
      {"a step of nothing", {open, open, QSize(0, 0), QSize(0, 0)}, false},
      {"resizable: larger allowed", {open, QSize(700, 900), QSize(0, 0), QSize(2, 2)}, false},
      {"no largest size", {open, {}, QSize(0, 0), QSize(2, 2)}, false},
      {"no smallest size", {{}, open, QSize(0, 0), QSize(2, 2)}, false},
  };
  for (const Case& c : cases) EXPECT_EQ(stepMissesFixedSize(c.hints), c.misses) << c.what;
}

}  // namespace
}  // namespace cantiere::x11
