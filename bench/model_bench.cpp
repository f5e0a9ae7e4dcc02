// SPDX-License-Identifier: GPL-3.0-or-later
// What the model costs: show/hide of an unchanged element, the fill and
// clear pair, one barrel tick, one ape tick, and an hour of play.
#include <benchmark/benchmark.h>

#include "tests/core/test_support.h"

namespace cantiere::test {
namespace {

void BM_ShowHideUnchanged(benchmark::State& state) {
  Surface s;
  s.show(Im_Bar46);
  for (auto _ : state) {
    s.show(Im_Bar46);
    s.hide(Im_Bar47);
    benchmark::DoNotOptimize(s);
  }
}
BENCHMARK(BM_ShowHideUnchanged);

void BM_FillAndClearScreen(benchmark::State& state) {
  Rig rig;
  rig.sound.setListener(nullptr);
  rig.openCase();
  for (auto _ : state) {
    rig.h.RiempiSchermo();
    rig.h.PulisciSchermo();
  }
}
BENCHMARK(BM_FillAndClearScreen);

// A game in full flow: the player in, barrels on every row.
struct Playing {
  Playing() {
    rig.sound.setListener(nullptr);
    rig.openCase();
    rig.startGame(ModeGameA);
    rig.g.Lives = 1 << 20;
    rig.wait(60000);
    rig.h.Blocca_Timers();
    rig.placePlayer(4, 6);
  }
  Rig rig;
};

void BM_BarrelTick(benchmark::State& state) {
  Playing p;
  for (auto _ : state) {
    p.rig.g.HalfTick = true;
    p.rig.g.OminoRow = 0;  // off the field: no hit ends the run
    p.rig.h.TimerGiocoTimer();
    if (!p.rig.lit(Im_BarFall21)) p.rig.h.surface.show(Im_BarFall21);
  }
}
BENCHMARK(BM_BarrelTick);

void BM_ApeTick(benchmark::State& state) {
  Playing p;
  p.rig.g.OminoRow = 0;
  for (auto _ : state) {
    p.rig.g.HalfTick = false;
    p.rig.g.QuarterTick = true;
    p.rig.h.TimerGiocoTimer();
  }
}
BENCHMARK(BM_ApeTick);

void BM_HourOfPlay(benchmark::State& state) {
  for (auto _ : state) {
    Rig rig;
    rig.sound.setListener(nullptr);
    rig.openCase();
    const int keys[] = {VkCtrl, VkRight, VkUp, VkLeft, VkCtrl, VkDown};
    for (int second = 0; second < 3600; ++second) {
      if (!rig.g.GameRunning) rig.startGame(ModeGameA);
      rig.program.keyDown(keys[second % 6]);
      rig.wait(500);
      rig.program.keyUp(keys[second % 6]);
      rig.wait(500);
    }
  }
  state.counters["x_realtime"] = benchmark::Counter(
      3600.0 * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_HourOfPlay)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace cantiere::test

BENCHMARK_MAIN();
