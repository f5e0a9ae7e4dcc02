// SPDX-License-Identifier: GPL-3.0-or-later
// Resampling: an area average shrinking, a blend of neighbours growing.
#include <gtest/gtest.h>

#include <set>

#include "render/resample.h"

namespace cantiere {
namespace {

Image gradientRow(int width) {
  Image row(width, 1);
  for (int x = 0; x < width; ++x) row.pixels[x] = rgb(x * 255 / (width - 1), 0, 255 - x * 255 / (width - 1));
  return row;
}

Image transposed(const Image& in) {
  Image out(in.height, in.width);
  for (int y = 0; y < in.height; ++y)
    for (int x = 0; x < in.width; ++x) out.row(x)[y] = in.at(x, y);
  return out;
}

TEST(Resample, AUniformPictureStaysUniformAtAnySizeUpToItsEdges) {
  const struct {
    int w, h, toW, toH;
  } sizes[] = {{1, 1, 7, 5},   {13, 9, 5, 3},    {10, 10, 25, 4}, {3, 40, 7, 11},
               {64, 64, 48, 80}, {2, 2, 1, 1}, {4, 3, 9, 7}};
  for (const auto& s : sizes)
    for (const auto& [colour, opaque] :
         {std::pair{rgb(200, 17, 99), true}, std::pair{argb(128, 64, 10, 128), false},
          std::pair{argb(255, 255, 255, 255), false}}) {
      const Image out = resampled(Image(s.w, s.h, colour), s.toW, s.toH, opaque);
      ASSERT_EQ(out.width, s.toW);
      ASSERT_EQ(out.height, s.toH);
      for (const Pixel p : out.pixels) ASSERT_EQ(p, colour) << s.w << "x" << s.h << " to " << s.toW << "x" << s.toH;
    }
}

TEST(Resample, HalvingAveragesEachBlockAndGrowingKeepsTheEnds) {
  Image four(4, 2);
  const Pixel values[] = {rgb(10, 0, 0), rgb(20, 0, 0), rgb(0, 100, 0), rgb(0, 0, 0),
                          rgb(30, 0, 0), rgb(41, 0, 0), rgb(0, 0, 0), rgb(0, 51, 255)};
  four.pixels.assign(std::begin(values), std::end(values));
  const Image half = resampled(four, 2, 1, true);
  EXPECT_EQ(half.at(0, 0), rgb(25, 0, 0)) << "(10 + 20 + 30 + 41) / 4, truncated";
  EXPECT_EQ(half.at(1, 0), rgb(0, 37, 63));

  for (int width : {9, 17, 40}) {
    const Image row = gradientRow(5);
    const Image grown = resampled(row, width, 1, true);
    EXPECT_EQ(grown.at(0, 0), row.at(0, 0)) << width;
    EXPECT_EQ(grown.at(width - 1, 0), row.at(4, 0)) << width;
    // Blended between neighbours, across and down alike: more tones than
    // the five it had.
    for (const Image& g : {grown, resampled(transposed(row), 1, width, true)}) {
      std::set<Pixel> tones(g.pixels.begin(), g.pixels.end());
      EXPECT_GT(tones.size(), 5u + width / 4) << width;
    }
    const Image shrunk = resampled(gradientRow(width), 4, 1, true);
    for (const Image* img : {&grown, &shrunk})
      for (int x = 1; x < img->width; ++x) EXPECT_GE(redOf(img->at(x, 0)), redOf(img->at(x - 1, 0))) << width;
  }
}

// Neither axis is favoured: across and down are the same sums, but for
// where each truncates, so a picture turned a quarter and resampled is the
// resampled picture turned, to a level.
TEST(Resample, BothAxesWeighAlike) {
  Image picture(9, 6);
  std::uint32_t seed = 5;
  for (Pixel& p : picture.pixels) {
    seed = seed * 1664525u + 1013904223u;
    const unsigned a = seed >> 24;
    p = argb(a, (seed >> 16) % (a + 1), (seed >> 8) % (a + 1), seed % (a + 1));
  }
  for (const auto& [w, h] : {std::pair{14, 11}, std::pair{5, 4}, std::pair{14, 4}, std::pair{5, 11}}) {
    const Image a = transposed(resampled(picture, w, h, false));
    const Image b = resampled(transposed(picture), h, w, false);
    for (std::size_t i = 0; i < a.pixels.size(); ++i)
      for (int shift = 0; shift < 32; shift += 8)
        ASSERT_NEAR(static_cast<int>((a.pixels[i] >> shift) & 0xFF), static_cast<int>((b.pixels[i] >> shift) & 0xFF), 1)
            << w << "x" << h << " pixel " << i;
  }
}

TEST(Resample, OpaqueStaysOpaqueTheSameSizeIsTheSameAndNothingGivesNothing) {
  Image noisy(37, 23);
  std::uint32_t seed = 7;
  for (Pixel& p : noisy.pixels) {
    seed = seed * 1103515245 + 12345;
    p = rgb(seed, seed >> 8, seed >> 16);
  }
  for (const auto& [w, h] : {std::pair{50, 31}, std::pair{20, 12}, std::pair{37, 5}}) {
    const Image out = resampled(noisy, w, h, true);
    for (const Pixel p : out.pixels) ASSERT_EQ(alphaOf(p), 255u) << w << "x" << h;
  }
  EXPECT_EQ(resampled(noisy, 37, 23, true), noisy);
  EXPECT_TRUE(resampled(Image(), 5, 5, true).empty());
  EXPECT_TRUE(resampled(noisy, 0, 5, true).empty());
  EXPECT_TRUE(resampled(noisy, 5, 0, true).empty());
}

}  // namespace
}  // namespace cantiere
