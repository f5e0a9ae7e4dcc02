// SPDX-License-Identifier: GPL-3.0-or-later
// The recorded-sound test's own instruments, on the system's monotonic
// clock (the program's sound log uses the same one):
//
//   sound_check record RAW STAMPS STALLS
//       copies the recorder's raw output (16-bit stereo at 22050 Hz) from
//       standard input to RAW, and notes when each piece arrived; meanwhile
//       notes in STALLS each time the machine itself stopped running
//       anything for a while
//   sound_check play PLAN KEYLOG
//       presses keys and clicks as PLAN says ("MS key NAME", "MS click X Y":
//       wait MS, then act), noting in KEYLOG when each key went down
//   sound_check analyse RAW STAMPS STALLS KEYLOG SOUNDLOG SOUND_DIR SINK_LATENCY_US
//       finds every sound of the program's log in the recording, and says
//       how long each key took to be heard and where the sound broke off
//
// A break is a stretch of digital silence inside a sound that was still
// playing: what a sound server plays when the program's stream runs dry.
// One that begins just after the machine stalled is the machine's, not
// the program's: a virtual machine's host may take its processors away for
// tens of milliseconds, longer than any stream's queue.
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <pthread.h>
#include <sched.h>
#include <sstream>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

constexpr double kRate = 22050.0;

long long nowNs() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

// A stall: a real-time thread above all others (the program's mixing thread
// and the sound server's run at low real-time priorities) woke this much
// later than asked, so nothing could run. Lines "START_NS LATE_NS".
constexpr long long kStallNs = 3'000'000;
constexpr long long kNapNs = 1'000'000;
// How long before a break a stall may have begun to cause it: the stream's
// queue at the server and the sink's (some 25 ms), and a few milliseconds
// of uncertainty in placing the recording on the clock.
constexpr double kStallReachNs = 50e6, kPlacingNs = 5e6;

void witnessStalls(std::FILE* out, const std::atomic<bool>& stop) {
  sched_param top{};
  top.sched_priority = 50;
  if (pthread_setschedparam(pthread_self(), SCHED_FIFO, &top) != 0) return;  // no witness: nothing excused
  while (!stop.load()) {
    const long long from = nowNs();
    std::this_thread::sleep_for(std::chrono::nanoseconds(kNapNs));
    const long long late = nowNs() - from - kNapNs;
    if (late >= kStallNs) std::fprintf(out, "%lld %lld\n", from, late);
  }
}

int record(const char* rawPath, const char* stampsPath, const char* stallsPath) {
  std::FILE* raw = std::fopen(rawPath, "wb");
  std::FILE* stamps = std::fopen(stampsPath, "w");
  std::FILE* stalls = std::fopen(stallsPath, "w");
  if (!raw || !stamps || !stalls) return 1;
  std::atomic<bool> stop{false};
  std::thread witness(witnessStalls, stalls, std::cref(stop));
  char buffer[4096];
  long long total = 0;
  for (;;) {
    const ssize_t n = read(0, buffer, sizeof buffer);
    if (n <= 0) break;
    const long long at = nowNs();
    std::fwrite(buffer, 1, static_cast<std::size_t>(n), raw);
    total += n;
    std::fprintf(stamps, "%lld %lld\n", total, at);
  }
  stop = true;
  witness.join();
  std::fclose(raw);
  std::fclose(stamps);
  std::fclose(stalls);
  return 0;
}

int play(const char* planPath, const char* keylogPath) {
  Display* d = XOpenDisplay(nullptr);
  std::ifstream plan(planPath);
  std::FILE* keylog = std::fopen(keylogPath, "w");
  if (!d || !plan || !keylog) return 1;
  const std::map<std::string, KeySym> keys = {
      {"left", XK_Left}, {"right", XK_Right}, {"up", XK_Up}, {"down", XK_Down}, {"ctrl", XK_Control_L}};
  std::string line;
  while (std::getline(plan, line)) {
    std::istringstream in(line);
    int waitMs = 0;
    std::string what;
    if (!(in >> waitMs >> what)) continue;
    std::this_thread::sleep_for(std::chrono::milliseconds(waitMs));
    if (what == "key") {
      std::string name;
      in >> name;
      const auto it = keys.find(name);
      if (it == keys.end()) return 2;
      const KeyCode code = XKeysymToKeycode(d, it->second);
      const long long before = nowNs();
      XTestFakeKeyEvent(d, code, True, CurrentTime);
      XSync(d, False);
      std::fprintf(keylog, "%lld %lld %s\n", before, nowNs(), name.c_str());
      std::this_thread::sleep_for(std::chrono::milliseconds(60));
      XTestFakeKeyEvent(d, code, False, CurrentTime);
      XSync(d, False);
    } else if (what == "click") {
      int x = 0, y = 0;
      in >> x >> y;
      XTestFakeMotionEvent(d, -1, x, y, CurrentTime);
      XTestFakeButtonEvent(d, 1, True, CurrentTime);
      XTestFakeButtonEvent(d, 1, False, CurrentTime);
      XSync(d, False);
    }
  }
  std::fclose(keylog);
  XCloseDisplay(d);
  return 0;
}

// 16-bit mono samples of a WAV file, or nothing.
std::vector<int16_t> readWav(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  std::vector<char> bytes((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
  std::size_t at = 12;
  while (at + 8 <= bytes.size()) {
    uint32_t size = 0;
    std::memcpy(&size, &bytes[at + 4], 4);
    if (std::memcmp(&bytes[at], "data", 4) == 0 && at + 8 + size <= bytes.size()) {
      std::vector<int16_t> s(size / 2);
      std::memcpy(s.data(), &bytes[at + 8], s.size() * 2);
      return s;
    }
    at += 8 + size + (size & 1);
  }
  return {};
}

struct Event {
  long long us;
  std::string sample;  // empty: silence
};

double median(std::vector<double> v) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}
double percentile90(std::vector<double> v) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  return v[std::min(v.size() - 1, v.size() * 9 / 10)];
}

int analyse(char** argv) {
  // The recording's left channel.
  std::ifstream rawFile(argv[0], std::ios::binary);
  std::vector<char> raw((std::istreambuf_iterator<char>(rawFile)), std::istreambuf_iterator<char>());
  std::vector<int16_t> rec(raw.size() / 4);
  for (std::size_t i = 0; i < rec.size(); ++i) std::memcpy(&rec[i], &raw[i * 4], 2);
  // The time of its first frame: each piece arrived no sooner than its last
  // frame was made, and the soonest arrival tells the offset best.
  std::ifstream stamps(argv[1]);
  long long bytes = 0, ns = 0;
  double t0 = 1e30;
  while (stamps >> bytes >> ns) t0 = std::min(t0, ns - (bytes / 4) / kRate * 1e9);
  auto frameAt = [&](double tNs) { return static_cast<long>((tNs - t0) / 1e9 * kRate); };
  auto timeOf = [&](long frame) { return t0 + frame / kRate * 1e9; };

  std::ifstream stallFile(argv[2]);
  std::vector<std::pair<long long, long long>> stalls;  // start, lateness
  long long stallAt = 0, stallLate = 0;
  while (stallFile >> stallAt >> stallLate) stalls.emplace_back(stallAt, stallLate);
  // The longest stall that may have emptied the stream's queue by this time.
  auto stallBefore = [&](double atNs) {
    long long longest = 0;
    for (const auto& [from, late] : stalls)
      if (from <= atNs + kPlacingNs && from + kNapNs + late >= atNs - kStallReachNs)
        longest = std::max(longest, late);
    return longest;
  };

  std::ifstream keylog(argv[3]);
  std::vector<std::pair<long long, std::string>> keys;
  long long before = 0, after = 0;
  std::string key;
  while (keylog >> before >> after >> key) keys.emplace_back(before, key);

  std::ifstream soundlog(argv[4]);
  std::vector<Event> events;
  std::string line;
  while (std::getline(soundlog, line)) {
    std::istringstream in(line);
    Event e;
    std::string what;
    in >> e.us >> what;
    if (what == "sound") in >> e.sample;
    events.push_back(e);
  }
  const std::string dir = argv[5];
  const double sinkLatencyMs = std::atof(argv[6]) / 1000.0;
  const std::map<std::string, std::string> files = {
      {"SndBarrel", "Barrel"}, {"SndBonus", "Bonus"}, {"SndFall", "Fall"}, {"SndJump", "Jump"},
      {"SndOrcoFall", "OrcoFall"}, {"SndMiss", "Miss"}, {"SndOver", "Over"}, {"SndStep", "Step"}};
  std::map<std::string, std::vector<int16_t>> samples;
  for (const auto& [name, file] : files) samples[name] = readWav(dir + "/" + file + ".wav");

  // Each sound's onset: where the recording starts with the sample itself.
  struct Found {
    long frame = -1;
    std::size_t event;
  };
  std::vector<Found> found;
  int located = 0, sounds = 0;
  for (std::size_t i = 0; i < events.size(); ++i) {
    const Event& e = events[i];
    if (e.sample.empty()) continue;
    ++sounds;
    const std::vector<int16_t>& s = samples[e.sample];
    const std::size_t n = std::min<std::size_t>(s.size(), 220);
    if (n == 0) continue;
    double energy = 0;
    for (std::size_t k = 0; k < n; ++k) energy += std::abs(int{s[k]});
    const long from = std::max(0L, frameAt(e.us * 1000.0) - 44);
    const long to = std::min<long>(static_cast<long>(rec.size()) - static_cast<long>(n), from + 6615);
    long best = -1;
    double bestError = 0.25;
    for (long f = from; f < to; ++f) {
      double error = 0;
      for (std::size_t k = 0; k < n && error < bestError * energy; ++k)
        error += std::abs(int{rec[f + k]} - int{s[k]});
      if (error < bestError * energy) {
        bestError = error / energy;
        best = f;
        if (error == 0) break;
      }
    }
    if (best >= 0) {
      ++located;
      found.push_back({best, i});
    }
  }

  // Breaks: digital silence of a millisecond or more where a located sound
  // was still to be heard (it had more to play there, and nothing had cut
  // it: a silence stops every sound, at the next sound's onset).
  int breaks = 0, machineBreaks = 0;
  double breakMs = 0, longestMs = 0;
  for (std::size_t j = 0; j < found.size(); ++j) {
    const Event& e = events[found[j].event];
    const std::vector<int16_t>& s = samples[e.sample];
    long end = found[j].frame + static_cast<long>(s.size());
    for (std::size_t k = found[j].event + 1; k < events.size(); ++k) {
      if (!events[k].sample.empty()) continue;
      // Cut where the sound that follows at once begins, or else no later
      // than the silence itself could be heard.
      long cut = frameAt(events[k].us * 1000.0);
      for (std::size_t m = j + 1; m < found.size(); ++m)
        if (found[m].event == k + 1) {
          cut = found[m].frame;
          break;
        }
      end = std::min(end, cut);
      break;
    }
    long f = found[j].frame;
    long shift = 0;  // how far the sound was put off by the breaks so far
    while (f < end && f < static_cast<long>(rec.size())) {
      if (rec[f] != 0) {
        ++f;
        continue;
      }
      long run = f;
      while (run < static_cast<long>(rec.size()) && rec[run] == 0) ++run;
      const long length = run - f;
      // The sample's own content over that stretch, as it would have
      // sounded there: a rest of its own is no break.
      const long offset = f - found[j].frame - shift;
      long sounding = 0;
      for (long k = offset; k < offset + length && k < static_cast<long>(s.size()); ++k)
        if (k >= 0 && std::abs(int{s[k]}) > 200) ++sounding;
      // Silence that runs on to the recording's end came after the
      // program closed (Escape may fall while the game-over tune plays).
      const bool programEnded = run == static_cast<long>(rec.size());
      if (length >= 22 && sounding * 2 > length && !programEnded) {
        const double ms = length / kRate * 1000;
        if (const long long stall = stallBefore(timeOf(f))) {
          ++machineBreaks;
          std::printf("break of %.1f ms in %s at %.3f s, just after the machine stalled for %.1f ms:"
                      " the machine's, not counted\n", ms, e.sample.c_str(), f / kRate, stall / 1e6);
        } else {
          ++breaks;
          breakMs += ms;
          longestMs = std::max(longestMs, ms);
          std::printf("break of %.1f ms in %s at %.3f s\n", ms, e.sample.c_str(), f / kRate);
        }
        end += length;  // it goes on where it stopped
        shift += length;
      }
      f = run;
    }
  }

  // Key to onset: the step or jump a key made, within 50 ms of the key.
  std::map<std::string, std::vector<double>> atSink;
  for (const auto& [keyNs, name] : keys) {
    for (const Found& fd : found) {
      const Event& e = events[fd.event];
      const double callMs = (e.us * 1000.0 - keyNs) / 1e6;
      if (callMs < 0 || callMs > 50) continue;
      if (e.sample != "SndStep" && e.sample != "SndJump") continue;
      atSink[e.sample].push_back((timeOf(fd.frame) - keyNs) / 1e6);
      break;
    }
  }

  std::printf("recording %.1f s, %d sounds in the program's log, %d found in the recording\n",
              rec.size() / kRate, sounds, located);
  long long longestStall = 0;
  for (const auto& stall : stalls) longestStall = std::max(longestStall, stall.second);
  std::printf("the machine stalled %zu times (a real-time thread woke %lld ms or more late),"
              " the longest %.1f ms\n", stalls.size(), kStallNs / 1'000'000, longestStall / 1e6);
  std::printf("breaks: %d, %.1f ms in all, the longest %.1f ms; %d more just after a stall\n", breaks,
              breakMs, longestMs, machineBreaks);
  bool ok = breaks == 0 && sounds > 0 && located >= sounds * 9 / 10;
  // Judged over every key that made a sound: a step and a jump take the same
  // way to the speaker, and how many of each a play gives is the game's
  // chance (walking into barrels makes misses, not steps).
  std::vector<double> all;
  for (const char* name : {"SndJump", "SndStep"}) {
    const std::vector<double>& v = atSink[name];
    const double audible = median(v) + sinkLatencyMs;
    std::printf("%s: %zu key presses; key to onset at the sink: median %.1f ms, 90%% %.1f ms, "
                "most %.1f ms; with the sink's %.1f ms to be heard: median %.1f ms\n",
                name, v.size(), median(v), percentile90(v), v.empty() ? 0 : *std::max_element(v.begin(), v.end()),
                sinkLatencyMs, audible);
    all.insert(all.end(), v.begin(), v.end());
  }
  std::printf("every key: %zu presses; heard after a median of %.1f ms\n", all.size(),
              median(all) + sinkLatencyMs);
  ok = ok && all.size() >= 6 && median(all) + sinkLatencyMs < 40;
  return ok ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "record" && argc == 5) return record(argv[2], argv[3], argv[4]);
  if (mode == "play" && argc == 4) return play(argv[2], argv[3]);
  if (mode == "analyse" && argc == 9) return analyse(argv + 2);
  std::fprintf(stderr,
               "usage: sound_check record RAW STAMPS STALLS | play PLAN KEYLOG |\n"
               "       analyse RAW STAMPS STALLS KEYLOG SOUNDLOG SOUND_DIR SINK_LATENCY_US\n");
  return 2;
}
