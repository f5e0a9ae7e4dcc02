// SPDX-License-Identifier: GPL-3.0-or-later
// The eight samples' synthesis, shared by the make_sounds tool, which writes
// them to assets/SOUND, and the web page, which makes them in the browser
// rather than download them. The squares are summed from their harmonics
// below the Nyquist frequency: drawn sample by sample instead, their upper
// harmonics would fold back as rough, off-pitch partials some 20 dB down.
#include "common/sound/sound_synth.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace {

constexpr int kRate = 22050;

// Harmonics fade out between these two frequencies, below the Nyquist
// frequency (11025 Hz), so that one crossing them in a glide comes and goes
// smoothly instead of switching.
constexpr double kTaperFrom = 9500.0, kTaperTo = 10500.0;

// One value of a unit square wave at `phase` (in cycles) and pitch `f`: the sum
// of its odd harmonics, 4/(pi k) each.
double square(double phase, double f) {
  double sum = 0.0;
  for (int k = 1; k * f < kTaperTo; k += 2) {
    double gain = 1.0;
    if (k * f > kTaperFrom) gain = 0.5 + 0.5 * std::cos(M_PI * (k * f - kTaperFrom) / (kTaperTo - kTaperFrom));
    sum += gain * std::sin(2 * M_PI * k * phase) / k;
  }
  return 4.0 / M_PI * sum;
}

// A fade of `length` frames: 0 at frame 0, 1 at `length`, a raised cosine in
// between so its own spectrum stays narrow.
double fade(int frame, int length) {
  const double s = std::sin(M_PI / 2 * frame / length);
  return s * s;
}

// One tone: a square wave gliding from `from` to `to` Hz over `ms`, with an
// optional vibrato, shaped by a short attack and release and an exponential
// decay (0 = none), at `level` (weighed against the sample's other tones).
struct Tone {
  double from, to, ms, level;
  double decay = 0.0;        // per second
  double vibratoHz = 0.0, vibratoDepth = 0.0;  // depth as a fraction of the pitch
  double gapMs = 0.0;        // silence after the tone
};

class Sample {
 public:
  void add(const Tone& t) {
    const int n = static_cast<int>(t.ms * kRate / 1000.0);
    const int attack = std::min(n / 4, kRate * 2 / 1000);    // 2 ms
    const int release = std::min(n / 3, kRate * 6 / 1000);   // 6 ms, down to 0 on the last frame
    for (int i = 0; i < n; ++i) {
      const double time = static_cast<double>(i) / kRate;
      double f = t.from + (t.to - t.from) * i / n;
      if (t.vibratoHz > 0) f *= 1.0 + t.vibratoDepth * std::sin(2 * M_PI * t.vibratoHz * time);
      phase_ += f / kRate;
      phase_ -= std::floor(phase_);
      double env = t.level;
      if (i < attack) env *= fade(i, attack);
      if (n - 1 - i < release) env *= fade(n - 1 - i, release);
      if (t.decay > 0) env *= std::exp(-t.decay * time);
      values_.push_back(square(phase_, f) * env);
    }
    values_.insert(values_.end(), static_cast<std::size_t>(t.gapMs * kRate / 1000.0), 0.0);
  }

  // The whole file: a RIFF header, the PCM format and the data, scaled so
  // that the loudest frame lies at `peakDb` dBFS.
  std::string wav(double peakDb) const {
    double peak = 0.0;
    for (double v : values_) peak = std::max(peak, std::abs(v));
    const double gain = std::pow(10.0, peakDb / 20.0) * 32767.0 / peak;
    std::string out;
    const auto u32 = [&](std::uint32_t v) {
      for (int k = 0; k < 4; ++k) out.push_back(static_cast<char>((v >> (8 * k)) & 0xFF));
    };
    const auto u16 = [&](std::uint16_t v) {
      out.push_back(static_cast<char>(v & 0xFF));
      out.push_back(static_cast<char>(v >> 8));
    };
    const auto bytes = static_cast<std::uint32_t>(values_.size() * 2);
    out += "RIFF";
    u32(36 + bytes);
    out += "WAVEfmt ";
    u32(16);
    u16(1);  // PCM
    u16(1);  // mono
    u32(kRate);
    u32(kRate * 2);
    u16(2);
    u16(16);
    out += "data";
    u32(bytes);
    for (double v : values_) u16(static_cast<std::uint16_t>(static_cast<std::int16_t>(std::lround(v * gain))));
    return out;
  }

  double ms() const { return values_.size() * 1000.0 / kRate; }

 private:
  std::vector<double> values_;  // before scaling to the peak
  double phase_ = 0.0;
};

// Notes by name (equal temperament, A4 = 440 Hz).
double note(int semitonesFromA4) { return 440.0 * std::pow(2.0, semitonesFromA4 / 12.0); }
const double C5 = note(3), D5 = note(5), E5 = note(7), G5 = note(10), A5 = note(12), C6 = note(15),
             E6 = note(19), G4 = note(-2), C4 = note(-9), E4 = note(-5);

}  // namespace

namespace cantiere {

std::vector<SoundFile> makeSoundFiles() {
  std::vector<SoundFile> files;
  // Every sample peaks at -10 dBFS but the barrels' tick, which comes as often
  // as every 120 ms and has to stay in the background.
  const auto save = [&](const char* name, const Sample& s, double peakDb = -10.0) {
    files.push_back({name, s.wav(peakDb), s.ms()});
  };

  // Every barrel tick, as often as every 120 ms: a soft, low tock.
  Sample barrel;
  barrel.add({520, 470, 28, 0.16, 90.0});
  save("Barrel.wav", barrel, -17.0);

  // Each step and climb: a dry click, higher than the barrels.
  Sample step;
  step.add({1320, 1320, 30, 0.30, 40.0});
  save("Step.wav", step);

  // Jumps and the player's entry: a quick rising chirp.
  Sample jump;
  jump.add({700, 1700, 90, 0.32});
  jump.add({1700, 1700, 25, 0.25, 30.0});
  save("Jump.wav", jump);

  // One bonus point, every 95 ms in a count-up: two bright notes, done in 70.
  Sample bonus;
  bonus.add({E6, E6, 30, 0.28});
  bonus.add({G5 * 2, G5 * 2, 40, 0.28, 25.0});
  save("Bonus.wav", bonus);

  // Hit by a barrel or a beam: a buzzing two-tone alarm, falling.
  Sample miss;
  for (int k = 0; k < 4; ++k) {
    const double drop = 1.0 - 0.08 * k;
    miss.add({A5 * drop, A5 * drop, 70, 0.32, 0.0, 0, 0, 10});
    miss.add({E5 * drop, E5 * drop, 70, 0.32, 0.0, 0, 0, 10});
  }
  miss.add({C5 * 0.75, C5 * 0.7, 180, 0.32, 5.0});
  save("Miss.wav", miss);

  // Off the girder: a long whistling glide down, then the bump.
  Sample fall;
  fall.add({1900, 260, 720, 0.30, 0.0, 18, 0.03});
  fall.add({140, 110, 90, 0.36, 20.0});
  save("Fall.wav", fall);

  // The ape's fall: slower and deeper, wobbling, with a heavy landing.
  Sample orco;
  orco.add({1300, 180, 1100, 0.30, 0.0, 9, 0.06});
  orco.add({110, 80, 160, 0.38, 12.0, 0, 0, 40});
  orco.add({95, 70, 120, 0.30, 20.0});
  save("OrcoFall.wav", orco);

  // Game over: a short falling tune ending on a long low note.
  Sample over;
  const double tune[] = {C6, G5, E5, C5, D5, E4, G4};
  for (double f : tune) over.add({f, f, 150, 0.30, 3.0, 0, 0, 30});
  over.add({C4, C4, 600, 0.30, 2.5, 6, 0.01});
  save("Over.wav", over);

  return files;
}

}  // namespace cantiere
