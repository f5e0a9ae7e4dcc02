// SPDX-License-Identifier: GPL-3.0-or-later
// The eight samples are clean tones. A square wave drawn sample by sample at
// 22050 Hz folds its upper harmonics back below the Nyquist frequency, where
// they land between the harmonics as rough, off-pitch partials; here each
// sample is taken apart with a windowed FFT and every partial that is not a
// multiple of the pitch heard in that stretch must stay 45 dB below it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

constexpr double kRate = 22050;

struct Wav {
  int rate = 0, bits = 0, channels = 0;
  std::vector<double> x;  // full scale = 1
};

std::uint32_t le(const unsigned char* p, int n) {
  std::uint32_t v = 0;
  for (int k = n - 1; k >= 0; --k) v = v << 8 | p[k];
  return v;
}

Wav load(const std::string& name) {
  std::ifstream in(std::string(CANTIERE_SOUND_DIR) + "/" + name, std::ios::binary);
  const std::vector<unsigned char> d((std::istreambuf_iterator<char>(in)), {});
  Wav w;
  for (std::size_t at = 12; at + 8 <= d.size();) {
    const std::uint32_t size = le(&d[at + 4], 4);
    const unsigned char* body = &d[at + 8];
    if (at + 8 + size > d.size()) break;
    if (!std::memcmp(&d[at], "fmt ", 4) && size >= 16) {
      w.channels = static_cast<int>(le(body + 2, 2));
      w.rate = static_cast<int>(le(body + 4, 4));
      w.bits = static_cast<int>(le(body + 14, 2));
    } else if (!std::memcmp(&d[at], "data", 4)) {
      for (std::uint32_t k = 0; k + 1 < size; k += 2)
        w.x.push_back(static_cast<std::int16_t>(le(body + k, 2)) / 32768.0);
    }
    at += 8 + size + (size & 1);
  }
  return w;
}

double db(double ratio) { return 20 * std::log10(std::max(ratio, 1e-12)); }

// Magnitudes of bins 0..n/2 of x[from, from+n), n a power of two, under a
// 4-term Blackman-Harris window: its side lobes lie 92 dB down, so what the
// window itself leaks cannot pass for a partial.
std::vector<double> spectrum(const std::vector<double>& x, std::size_t from, std::size_t n) {
  std::vector<std::complex<double>> a(n);
  for (std::size_t i = 0; i < n; ++i) {
    const double t = 2 * M_PI * i / n;
    a[i] = x[from + i] * (0.35875 - 0.48829 * std::cos(t) + 0.14128 * std::cos(2 * t) - 0.01168 * std::cos(3 * t));
  }
  for (std::size_t i = 1, j = 0; i < n; ++i) {  // bit reversal, then radix-2 butterflies
    std::size_t bit = n >> 1;
    for (; j & bit; bit >>= 1) j ^= bit;
    j ^= bit;
    if (i < j) std::swap(a[i], a[j]);
  }
  for (std::size_t len = 2; len <= n; len <<= 1) {
    const std::complex<double> step = std::polar(1.0, -2 * M_PI / len);
    for (std::size_t i = 0; i < n; i += len) {
      std::complex<double> w = 1;
      for (std::size_t k = 0; k < len / 2; ++k, w *= step) {
        const auto u = a[i + k], v = a[i + k + len / 2] * w;
        a[i + k] = u + v;
        a[i + k + len / 2] = u - v;
      }
    }
  }
  std::vector<double> mag(n / 2 + 1);
  for (std::size_t i = 0; i <= n / 2; ++i) mag[i] = std::abs(a[i]);
  return mag;
}

// Where the fundamental lies in a window: its interpolated peak, and how far
// its skirt reaches either side before it falls 60 dB or another partial
// rises out of it. A glide or a vibrato widens the skirt beyond the window's
// own main lobe; the ripple a vibrato leaves on it stays well under the 15 dB
// by which a separate partial stands out.
struct Band {
  double centre, halfWidth, level;
};
Band fundamental(const std::vector<double>& mag, std::size_t n) {
  const std::size_t top = std::max_element(mag.begin() + 1, mag.end() - 1) - mag.begin();
  const double floorDb = db(mag[top]) - 60;
  const auto edge = [&](int dir) {
    std::size_t i = top, valley = top;
    while (db(mag[i + dir]) >= floorDb) {
      i += dir;
      if (i == 0 || i + 1 == mag.size()) return std::nan("");  // harmonics the window cannot part
      if (mag[i] < mag[valley]) valley = i;
      if (db(mag[i]) > db(mag[valley]) + 15) return valley * kRate / n;
    }
    const double inside = db(mag[i]), outside = db(mag[i + dir]);
    return (i + dir * (inside - floorDb) / (inside - outside)) * kRate / n;
  };
  const double l = db(mag[top - 1]), c = db(mag[top]), r = db(mag[top + 1]);
  const double peak = (top + 0.5 * (l - r) / (l - 2 * c + r)) * kRate / n;
  return {peak, std::max(peak - edge(-1), edge(+1) - peak), mag[top]};
}

// True when x[from, from+n) holds one tone throughout: every tone of these
// samples fades in from and out to silence, so a fade anywhere but at the very
// edges of the window shows as a short stretch near zero.
bool steady(const std::vector<double>& x, std::size_t from, std::size_t n, double loudest) {
  constexpr std::size_t kBlock = 6;  // 0.27 ms, shorter than half of any period heard
  double lo = 1, hi = 0;
  for (std::size_t b = from + n * 7 / 100; b + kBlock <= from + n * 93 / 100; b += kBlock) {
    double p = 0;
    for (std::size_t i = b; i < b + kBlock; ++i) p = std::max(p, std::abs(x[i]));
    lo = std::min(lo, p);
    hi = std::max(hi, p);
  }
  return hi > 0.1 * loudest && lo > 0.1 * hi;
}

struct Purity {
  double worstDb = -200;  // strongest off-harmonic partial against the fundamental
  int windows = 0;        // how many windows could be judged
};

// Slides windows of several lengths over the sample. In each steady one the
// fundamental is the strongest peak; harmonic k sweeps k times as wide a band
// as the fundamental does, and everything outside those bands is off the pitch.
Purity purity(const std::vector<double>& x) {
  Purity p;
  double loudest = 0;
  for (double v : x) loudest = std::max(loudest, std::abs(v));
  for (std::size_t n = 256; n <= 2048; n *= 2) {  // longer ones would resolve a vibrato's sidebands
    const double bin = kRate / n;
    const double lobe = 4.5 * bin;  // the window's main lobe is 4 bins each side
    for (std::size_t from = 0; from + n <= x.size(); from += n / 4) {
      if (!steady(x, from, n, loudest)) continue;
      const auto mag = spectrum(x, from, n);
      const Band f0 = fundamental(mag, n);
      // Too short a window to part the harmonics of so low a pitch, or so fast a glide.
      if (!(lobe < 0.4 * f0.centre && f0.halfWidth < 0.4 * f0.centre)) continue;
      // How far the pitch moves beyond what the lobe's own 60 dB width (3.6 bins) explains.
      const double sweep = std::max(0.0, f0.halfWidth - 3.6 * bin) + 0.1 * bin;
      bool judged = false;
      for (std::size_t b = 1; b * bin < 0.97 * kRate / 2; ++b) {
        // Harmonic k covers k * centre +- (lobe + k * sweep); is f in none of them?
        const double f = b * bin;
        if (std::ceil((f - lobe) / (f0.centre + sweep)) <= std::floor((f + lobe) / (f0.centre - sweep))) continue;
        judged = true;
        p.worstDb = std::max(p.worstDb, db(mag[b] / f0.level));
      }
      p.windows += judged;
    }
  }
  return p;
}

struct Expected {
  const char* name;
  std::size_t frames;  // as long as they have always been: the game's timings are built around them
  double peakDb;       // loudest sample, dBFS
};

// Every sample peaks near -10 dBFS except the barrels' tick, which comes every
// 120 ms and stays in the background.
const Expected kSamples[] = {
    {"Barrel.wav", 617, -17}, {"Bonus.wav", 1543, -10}, {"Fall.wav", 17860, -10},    {"Jump.wav", 2535, -10},
    {"Miss.wav", 18073, -10}, {"OrcoFall.wav", 31311, -10}, {"Over.wav", 41006, -10}, {"Step.wav", 661, -10},
};

TEST(SoundSamples, KeepTheirFormatLengthAndLevelAndStartAndEndInSilence) {
  for (const Expected& e : kSamples) {
    SCOPED_TRACE(e.name);
    const Wav w = load(e.name);
    EXPECT_EQ(w.rate, 22050);
    EXPECT_EQ(w.bits, 16);
    EXPECT_EQ(w.channels, 1);
    ASSERT_EQ(w.x.size(), e.frames);
    double peak = 0;
    for (double v : w.x) peak = std::max(peak, std::abs(v));
    EXPECT_NEAR(db(peak), e.peakDb, 1.0);
    // A jump from or to silence clicks: the ends are (nearly) zero and the
    // first and last quarter millisecond stay far below the peak.
    EXPECT_LE(std::abs(w.x.front()), 4 / 32768.0);
    EXPECT_LE(std::abs(w.x.back()), 4 / 32768.0);
    for (std::size_t i = 0; i < 5; ++i) {
      EXPECT_LT(db(std::abs(w.x[i]) / peak), -24) << "frame " << i;
      EXPECT_LT(db(std::abs(w.x[w.x.size() - 1 - i]) / peak), -24) << "frame " << i << " from the end";
    }
  }
}

TEST(SoundSamples, HoldNoPartialOffThePitchWithin45Decibels) {
  for (const Expected& e : kSamples) {
    const Purity p = purity(load(e.name).x);
    std::printf("%-13s strongest off-harmonic partial %6.1f dB (%d windows)\n", e.name, p.worstDb, p.windows);
    EXPECT_GE(p.windows, 1) << e.name << ": nothing steady enough to judge";
    EXPECT_LE(p.worstDb, -45) << e.name;
  }
}

}  // namespace
