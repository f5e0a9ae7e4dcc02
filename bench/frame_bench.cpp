// SPDX-License-Identifier: GPL-3.0-or-later
// What a frame costs with the LCD effects, through the renderer at every
// zoom step: the whole open case with every segment lit, plain and with the
// effects, and a fade's typical frame (one barrel and its shadow), as the
// window composes it into its buffer (transparent outside the case).
#include <benchmark/benchmark.h>

#include <string>

#include "render/art_files.h"
#include "render/compositor.h"

namespace cantiere {
namespace {

// The open case with every LCD segment lit and settled.
struct OpenCase {
  OpenCase() {
    surface.hide(Im_Front);
    for (Element e : {Im_Base, Puls_GameA, Puls_GameB, Puls_Time, Puls_Jump, Im_Schermo1Top,
                      Im_Schermo2Top})
      surface.show(e);
    for (int i = 0; i < ElementCount; ++i) {
      const auto e = static_cast<Element>(i);
      if (info(e).picture == PictureKind::Copy) surface.copyPicture(e, info(e).copyOf);
      if (isLcd(e)) surface.show(e);
    }
    for (Element e : {Im_NumPos1, Im_NumPos2, Im_NumPos3, Im_NumPos4})
      surface.copyPicture(e, Im_Num8);
  }
  Surface surface;
  LcdResponse response{surface};
};

// Arguments: zoom percent, effects (0 or 1), only the fading barrel (0 or 1).
void BM_Frame(benchmark::State& state) {
  const ViewScale view(static_cast<int>(state.range(0)), 1.0);
  const bool effects = state.range(1) != 0, fade = state.range(2) != 0;
  const PictureSet pictures = builtInPictures(view.deviceScale());
  OpenCase c;
  if (fade) c.response.litChanged(Im_Bar46, false, 1000);
  const LcdLook look{c.response, 1050};
  const Composition composition{c.surface, pictures, view, effects ? &look : nullptr, true};
  Image image(view.toDevice(464), view.toDevice(571));
  const Rect region = fade ? paintedRect(Im_Bar46, view, effects) : image.rect();
  compose(image, composition, image.rect());  // every layer made before timing
  for (auto _ : state) {
    compose(image, composition, region);
    benchmark::ClobberMemory();
  }
  state.SetLabel(std::string(effects ? "effects on" : "plain") +
                 (fade ? ", a fade's frame" : ", whole window"));
}
BENCHMARK(BM_Frame)
    ->ArgsProduct({{100, 150, 200, 250, 300, 400}, {0, 1}, {0, 1}})
    ->ArgNames({"zoom", "effects", "fade"})
    ->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace cantiere

BENCHMARK_MAIN();
