// SPDX-License-Identifier: GPL-3.0-or-later
// The tick, show and hide, the timers and Blocca_Timers allocate nothing.
#include <atomic>
#include <cstdlib>
#include <new>

#include "tests/core/test_support.h"

#ifndef CANTIERE_SANITIZE
namespace {
std::atomic<long> allocations{0};
}  // namespace

void* operator new(std::size_t size) {
  ++allocations;
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
#endif

namespace cantiere::test {
namespace {

TEST(Allocation, AMinuteOfPlayAllocatesNothing) {
#ifdef CANTIERE_SANITIZE
  GTEST_SKIP() << "the sanitizers own operator new";
#else
  Rig rig;
  rig.sound.setListener(nullptr);
  rig.openCase();
  rig.startGame(ModeGameB);
  rig.g.Lives = 1000;  // no game over (that writes the settings) in this minute
  const long before = allocations.load();
  const int keys[] = {VkCtrl, VkRight, VkUp, VkLeft, VkDown, VkCtrl};
  for (int i = 0; i < 600; ++i) {
    rig.program.keyDown(keys[i % 6]);
    rig.wait(50);
    rig.program.keyUp(keys[i % 6]);
    rig.wait(50);
  }
  rig.h.Blocca_Timers();
  rig.h.RiempiSchermo();
  rig.h.PulisciSchermo();
  EXPECT_GT(rig.output.playCount, 100);
  EXPECT_EQ(allocations.load() - before, 0);
#endif
}

}  // namespace
}  // namespace cantiere::test
