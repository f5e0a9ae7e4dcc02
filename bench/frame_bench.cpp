// What a frame of the LCD costs to draw: the whole open case (every segment
// lit) plain and with the effects, a fade's typical frame (one segment and
// its shadow), and the LCD's effects alone at 1x and 4x device pixels.
#include <benchmark/benchmark.h>

#include "frontend/lcd_effects.h"
#include "frontend/surface_painter.h"

namespace cantiere {
namespace {

const PictureSet& pictures() {
  static const PictureSet p = PictureSet::builtIn();
  return p;
}

// The open case with every LCD segment lit and settled.
struct OpenCase {
  OpenCase() {
    surface.hide(Im_Front);
    for (Element e : {Im_Base, Puls_GameA, Puls_GameB, Puls_Time, Puls_Jump, Im_Schermo1Top,
                      Im_Schermo2Top})
      surface.show(e);
    for (int i = 0; i < ElementCount; ++i)
      if (isLcd(static_cast<Element>(i))) surface.show(static_cast<Element>(i));
    surface.copyPicture(Im_NumPos4, Im_Num8);
  }
  Surface surface;
  LcdResponse response{surface};
};

void BM_WholeWindow(benchmark::State& state) {
  OpenCase c;
  const LcdLook look{c.response, 1000};
  QImage image(464, 571, QImage::Format_RGB32);
  for (auto _ : state) {
    QPainter painter(&image);
    paintSurface(painter, c.surface, pictures(), image.rect(), state.range(0) ? &look : nullptr);
  }
  state.SetLabel(state.range(0) ? "effects on" : "plain");
}
BENCHMARK(BM_WholeWindow)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// A frame of a fade in play: the window repaints one barrel and its shadow.
void BM_FadeFrame(benchmark::State& state) {
  OpenCase c;
  c.response.litChanged(Im_Bar46, false, 1000);
  const LcdLook look{c.response, 1050};
  QImage image(464, 571, QImage::Format_RGB32);
  const QRect rect = paintedRect(Im_Bar46, &look);
  for (auto _ : state) {
    QPainter painter(&image);
    paintSurface(painter, c.surface, pictures(), rect, &look);
  }
}
BENCHMARK(BM_FadeFrame)->Unit(benchmark::kMicrosecond);

// The effects of every lit segment and the two panes of glass, drawn at
// `scale` device pixels per window pixel over the case scaled as large.
void BM_LcdEffectsAtScale(benchmark::State& state) {
  const int scale = static_cast<int>(state.range(0));
  OpenCase c;
  auto big = [&](const QImage& i) {
    return i.scaled(i.size() * scale, Qt::IgnoreAspectRatio, Qt::FastTransformation);
  };
  const QImage base = big(pictures().picture(Im_Base, false));
  std::vector<std::pair<QRect, QImage>> segments;
  for (int i = 0; i < ElementCount; ++i) {
    const auto e = static_cast<Element>(i);
    if (!isLcd(e) || c.surface.picture(e) == NoElement) continue;
    const QRect r = elementRect(e);
    segments.emplace_back(QRect(r.topLeft() * scale, r.size() * scale),
                          big(pictures().picture(c.surface.picture(e), true)));
  }
  QImage image(base.size(), QImage::Format_RGB32);
  for (auto _ : state) {
    QPainter painter(&image);
    painter.drawImage(0, 0, base);
    for (const auto& [rect, picture] : segments)
      drawSegmentShadow(painter, rect, {&picture, 1.0f}, scale);
    for (const auto& [rect, picture] : segments)
      drawSegmentInk(painter, rect, {&picture, 1.0f}, scale);
    for (Element glass : {Im_Schermo1Top, Im_Schermo2Top}) {
      const QRect r = elementRect(glass);
      drawGlass(painter, QRect(r.topLeft() * scale, r.size() * scale), scale);
    }
  }
}
BENCHMARK(BM_LcdEffectsAtScale)->Arg(1)->Arg(4)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace cantiere

BENCHMARK_MAIN();
