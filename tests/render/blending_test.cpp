// SPDX-License-Identifier: GPL-3.0-or-later
// Premultiplied blending: a product divided by 255, rounded; a painter's
// opacity in truncated 256ths; rows the same however they are computed.
#include <gtest/gtest.h>

#include <vector>

#include "render/blend_rows.h"
#include "render/pixel_math.h"

namespace cantiere {
namespace {

TEST(Blending, ProductsAreDividedBy255Rounded) {
  const struct {
    unsigned channel, factor, expected;
  } cases[] = {{255, 128, 128}, {200, 128, 100}, {128, 128, 64}, {1, 255, 1}, {255, 255, 255},
               {77, 0, 0},      {254, 1, 1},     {127, 2, 1},    {100, 51, 20}};
  for (const auto& c : cases)
    EXPECT_EQ(scaled(argb(c.channel, c.channel, 0, c.channel), c.factor),
              argb(c.expected, c.expected, 0, c.expected))
        << c.channel << " x " << c.factor;
  EXPECT_EQ(over(rgb(1, 2, 3), rgb(200, 100, 50)), rgb(1, 2, 3)) << "opaque covers";
  EXPECT_EQ(over(kTransparent, rgb(200, 100, 50)), rgb(200, 100, 50)) << "transparent leaves";
  EXPECT_EQ(over(argb(128, 0, 0, 128), rgb(255, 255, 255)), rgb(127, 127, 255));
}

TEST(Blending, OpacityIsTakenInTruncated256ths) {
  const struct {
    float opacity;
    unsigned factor;
  } cases[] = {{1.0f, 255}, {0.5f, 127}, {0.999f, 254}, {0.25f, 63}, {0.0f, 0}, {-1.0f, 0}, {2.0f, 255}};
  for (const auto& c : cases) EXPECT_EQ(opacityFactor(c.opacity), c.factor) << c.opacity;
}

TEST(Blending, RowsBlendAsSinglePixelsDo) {
  std::uint32_t seed = 99;
  auto premultiplied = [&seed] {
    seed = seed * 1664525u + 1013904223u;
    const unsigned a = (seed >> 24) % 3 == 0 ? 255 : (seed >> 24) % 3 == 1 ? 0 : seed >> 24;
    return argb(a, (seed >> 16) % (a + 1), (seed >> 8) % (a + 1), seed % (a + 1));
  };
  for (int length = 0; length < 20; ++length)
    for (unsigned factor : {255u, 254u, 128u, 1u, 0u}) {
      std::vector<Pixel> source(length), dest(length);
      for (int i = 0; i < length; ++i) source[i] = premultiplied(), dest[i] = premultiplied() | 0xFF000000u;
      std::vector<Pixel> rows = dest;
      factor == 255 ? overRow(rows.data(), source.data(), length)
                    : overRowScaled(rows.data(), source.data(), length, factor);
      for (int i = 0; i < length; ++i)
        ASSERT_EQ(rows[i], over(scaled(source[i], factor), dest[i])) << length << " " << factor << " " << i;
    }
}

}  // namespace
}  // namespace cantiere
