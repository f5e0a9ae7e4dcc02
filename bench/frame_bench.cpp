// SPDX-License-Identifier: GPL-3.0-or-later
// What a frame costs with the LCD effects, through the window's painter at
// 1x and 4x: the whole open case with every segment lit, plain and with the
// effects, and a fade's typical frame (one barrel and its shadow).
#include <benchmark/benchmark.h>

#include "frontend/surface_painter.h"

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
  const PictureSet pictures = PictureSet::builtIn(view.deviceScale());
  OpenCase c;
  if (fade) c.response.litChanged(Im_Bar46, false, 1000);
  const LcdLook look{c.response, 1050};
  QImage image(view.toDevice(464), view.toDevice(571), QImage::Format_RGB32);
  const QRect region = fade ? paintedRect(Im_Bar46, view, effects) : image.rect();
  for (auto _ : state) {
    QPainter painter(&image);
    paintSurface(painter, c.surface, pictures, region, view, effects ? &look : nullptr);
    painter.end();
    benchmark::ClobberMemory();
  }
  state.SetLabel(std::string(effects ? "effects on" : "plain") + (fade ? ", a fade's frame" : ", whole window"));
}
BENCHMARK(BM_Frame)
    ->ArgsProduct({{100, 400}, {0, 1}, {0, 1}})
    ->ArgNames({"zoom", "effects", "fade"})
    ->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace cantiere

BENCHMARK_MAIN();
