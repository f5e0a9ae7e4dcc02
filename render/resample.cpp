// SPDX-License-Identifier: GPL-3.0-or-later
#include "render/resample.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace cantiere {
namespace {

// Weights in fixed point: a shrinking axis shares each output pixel's 2^14
// among the source pixels it covers; a growing one blends a pixel with the
// next in 256ths.
constexpr int kWhole = 1 << 14;

// Where each output pixel of one axis takes its source pixels from.
struct Axis {
  bool up = false;
  int sourceLength = 0;
  std::vector<int> first;   // the first source pixel
  std::vector<int> weight;  // up: share of the next one (0..255); down: share of the first
  int step = 0;             // down: share of each further source pixel
};

Axis axisFor(int source, int dest) {
  Axis a;
  a.up = dest >= source;
  a.sourceLength = source;
  a.first.resize(dest);
  a.weight.resize(dest);
  const std::int64_t inc = (static_cast<std::int64_t>(source) << 16) / dest;
  // Growing, output pixel centres map onto source pixel centres.
  std::int64_t at = a.up ? std::int64_t{0x8000} * source / dest - 0x8000 : 0;
  a.step = a.up ? 0 : static_cast<int>(((static_cast<std::int64_t>(dest) << 14) + source - 1) / source);
  for (int i = 0; i < dest; ++i, at += inc) {
    const std::int64_t whole = at >> 16;  // floor, also below 0
    a.first[i] = static_cast<int>(std::max<std::int64_t>(0, whole));
    if (a.up) {
      a.weight[i] = whole < 0 || whole >= source - 1 ? 0 : static_cast<int>((at >> 8) & 0xFF);
    } else {
      a.weight[i] = static_cast<int>(((0x10000 - (at & 0xFFFF)) * a.step) >> 16);
    }
  }
  return a;
}

using Channels = std::array<std::uint32_t, 4>;  // a, r, g, b

Channels channels(Pixel p) { return {alphaOf(p), redOf(p), greenOf(p), blueOf(p)}; }

// The weighted sum of a shrinking axis's run of pixels for output pixel i,
// the source pixel k of the run given by `at(k)`: 14-bit scaled channels.
template <typename At>
Channels shrinkSum(const Axis& a, int i, At at) {
  int k = a.first[i];
  const std::uint32_t firstShare = a.weight[i];
  Channels sum{};
  auto add = [&](std::uint32_t w) {
    const Channels c = channels(at(std::min(k, a.sourceLength - 1)));
    for (int n = 0; n < 4; ++n) sum[n] += c[n] * w;
  };
  add(firstShare);
  std::uint32_t left = kWhole - firstShare;
  for (; left > static_cast<std::uint32_t>(a.step); left -= a.step) {
    ++k;
    add(a.step);
  }
  ++k;
  add(left);
  return sum;
}

Channels blend256(const Channels& a, const Channels& b, std::uint32_t w) {
  Channels out;
  for (int n = 0; n < 4; ++n) out[n] = (a[n] * (256 - w) + b[n] * w) >> 8;
  return out;
}

Pixel pack(const Channels& c, bool opaque) { return argb(opaque ? 255 : c[0], c[1], c[2], c[3]); }

// Both axes growing: each column's pair blended down, then the two results
// across, each blend truncated.
Pixel grown(const Image& s, int x, int y, std::uint32_t wx, std::uint32_t wy) {
  const Pixel* top = s.row(y) + x;
  if (wx == 0 && wy == 0) return top[0];
  const Pixel* bottom = s.row(std::min(y + 1, s.height - 1)) + x;
  if (wx == 0) return pack(blend256(channels(top[0]), channels(bottom[0]), wy), false);
  if (wy == 0) return pack(blend256(channels(top[0]), channels(top[1]), wx), false);
  const Channels left = blend256(channels(top[0]), channels(bottom[0]), wy);
  const Channels right = blend256(channels(top[1]), channels(bottom[1]), wy);
  return pack(blend256(left, right, wx), false);
}

}  // namespace

Image resampled(const Image& source, int width, int height, bool opaque) {
  if (source.empty() || width <= 0 || height <= 0) return {};
  if (source.width == width && source.height == height) return source;
  const Axis ax = axisFor(source.width, width), ay = axisFor(source.height, height);
  Image out(width, height);
  for (int y = 0; y < height; ++y) {
    Pixel* line = out.row(y);
    for (int x = 0; x < width; ++x) {
      const int sx = ax.first[x], sy = ay.first[y];
      Pixel p;
      if (ax.up && ay.up) {
        p = grown(source, sx, sy, ax.weight[x], ay.weight[y]);
        if (opaque) p |= 0xFF000000u;
      } else if (ax.up) {
        // Down the column, then across to the next column's sum.
        auto column = [&](int cx) { return [&, cx](int k) { return source.at(cx, k); }; };
        Channels c = shrinkSum(ay, y, column(sx));
        if (ax.weight[x] > 0) c = blend256(c, shrinkSum(ay, y, column(sx + 1)), ax.weight[x]);
        for (auto& v : c) v >>= 14;
        p = pack(c, opaque);
      } else if (ay.up) {
        auto row = [&](int ry) { return [&, ry](int k) { return source.at(k, ry); }; };
        Channels c = shrinkSum(ax, x, row(sy));
        if (ay.weight[y] > 0) c = blend256(c, shrinkSum(ax, x, row(sy + 1)), ay.weight[y]);
        for (auto& v : c) v >>= 14;
        p = pack(c, opaque);
      } else {
        // Each row's sum, shrunk to 10 bits, then the rows' weighted sum.
        Channels c{};
        auto addRow = [&](int ry, std::uint32_t w) {
          const Channels r = shrinkSum(ax, x, [&](int k) { return source.at(k, std::min(ry, source.height - 1)); });
          for (int n = 0; n < 4; ++n) c[n] += (r[n] >> 4) * w;
        };
        int ry = sy;
        addRow(ry, ay.weight[y]);
        std::uint32_t left = kWhole - ay.weight[y];
        for (; left > static_cast<std::uint32_t>(ay.step); left -= ay.step) addRow(++ry, ay.step);
        addRow(++ry, left);
        for (auto& v : c) v >>= 24;
        p = pack(c, opaque);
      }
      line[x] = p;
    }
  }
  return out;
}

}  // namespace cantiere
