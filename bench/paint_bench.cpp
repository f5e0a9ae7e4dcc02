// SPDX-License-Identifier: GPL-3.0-or-later
// What the renderer costs at 1x, 2x and 4x: a full repaint of the open case
// with every segment lit (a window's first paint, or a change of size), and
// the repaint of one segment (a step of play).
#include <benchmark/benchmark.h>

#include "core/lcd/surface.h"
#include "render/art_files.h"
#include "render/compositor.h"

namespace cantiere {
namespace {

Surface everySegment() {
  Surface s;
  s.hide(Im_Front);
  s.show(Im_Base);
  for (int i = 0; i < ElementCount; ++i) {
    const auto e = static_cast<Element>(i);
    if (info(e).picture == PictureKind::Copy) s.copyPicture(e, info(e).copyOf);
    const Group g = info(e).group;
    if (isLcd(e) || g == Group::Button) s.show(e);
  }
  for (Element e : {Im_NumPos1, Im_NumPos2, Im_NumPos3, Im_NumPos4}) s.copyPicture(e, Im_Num8);
  return s;
}

void repaint(benchmark::State& state, Element only) {
  const ViewScale view(static_cast<int>(state.range(0)), 1.0);
  const PictureSet pictures = builtInPictures(view.deviceScale());
  const Surface surface = everySegment();
  Image frame(view.toDevice(464), view.toDevice(571));
  const Rect region = only == NoElement ? frame.rect() : elementRect(only, view);
  const Composition c{surface, pictures, view};
  compose(frame, c, frame.rect());  // every picture decoded before timing
  for (auto _ : state) {
    compose(frame, c, region);
    benchmark::ClobberMemory();
  }
  state.counters["Mpixel/s"] = benchmark::Counter(static_cast<double>(region.width) * region.height,
                                                  benchmark::Counter::kIsIterationInvariantRate);
}

void FullRepaint(benchmark::State& state) { repaint(state, NoElement); }
void OneSegment(benchmark::State& state) { repaint(state, Im_Omino46); }

BENCHMARK(FullRepaint)->Arg(100)->Arg(200)->Arg(400)->Unit(benchmark::kMicrosecond);
BENCHMARK(OneSegment)->Arg(100)->Arg(200)->Arg(400)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace cantiere

BENCHMARK_MAIN();
