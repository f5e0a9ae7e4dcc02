#include "sim/driver.h"

#include <charconv>
#include <istream>
#include <optional>
#include <ostream>
#include <sstream>
#include <vector>

#include "core/launcher/program.h"
#include "core/settings/memory_settings.h"
#include "frontend/ini_settings.h"
#include "core/sound/recording_output.h"

namespace cantiere {
namespace {

constexpr std::int64_t kDayMs = 24LL * 60 * 60 * 1000;

bool toInt(const std::string& s, int& out) {
  const char* end = s.data() + s.size();
  auto [p, ec] = std::from_chars(s.data(), end, out);
  return ec == std::errc() && p == end;
}

// The fixed time of day of --time, advancing with virtual time; used as
// local and as universal time.
class SimTimeOfDay : public TimeOfDay {
 public:
  SimTimeOfDay(const Scheduler& scheduler, std::int64_t startMs)
      : scheduler_(scheduler), startMs_(startMs) {}
  LocalTime local() const override {
    const std::int64_t ms = nowMs();
    return {static_cast<int>(ms / 3600000), static_cast<int>(ms / 60000 % 60)};
  }
  std::uint32_t universalMillisOfDay() const override {
    return static_cast<std::uint32_t>(nowMs());
  }

 private:
  std::int64_t nowMs() const { return (startMs_ + scheduler_.now()) % kDayMs; }
  const Scheduler& scheduler_;
  std::int64_t startMs_;
};

// Turns everything observable into trace lines, time first.
class Trace : public SurfaceListener, public SoundListener, public Desktop {
 public:
  Trace(std::ostream& out, const Scheduler& scheduler, const DriverOptions& options)
      : out_(out), scheduler_(scheduler), options_(options) {}

  bool enabled = false;
  bool exited = false;
  const Surface* surface = nullptr;

  std::ostream& line() { return out_ << scheduler_.now() << ' '; }
  void event(const std::string& text) {
    if (enabled) line() << text << '\n';
  }

  void litChanged(Element e, bool lit) override {
    if (enabled) line() << (lit ? '+' : '-') << nameOf(e) << '\n';
  }
  void pictureChanged(Element e) override {
    if (!enabled || e < Im_NumPos1 || e > Im_NumPos4) return;
    const int position = e == Im_NumPos1 ? 1 : e == Im_NumPos2 ? 2 : e == Im_NumPos3 ? 3 : 4;
    line() << "digit " << position << ' ' << digitOf(surface->picture(e)) << '\n';
  }
  static std::string digitOf(Element picture) {
    if (picture >= Im_Num0 && picture <= Im_Num9) return std::to_string(picture - Im_Num0);
    return "-";
  }

  void played(Sample s) override { event(std::string("sound ") + sampleName(s)); }
  void silenced() override { event("silence"); }

  ScreenSize screen() const override { return {options_.screenWidth, options_.screenHeight}; }
  void windowChanged(const WindowGeometry& g) override { event(windowText(g)); }
  void showLauncher() override {}
  void hideLauncher() override {}
  void showAbout() override { event("about"); }
  void open(const char* target) override { event(std::string("open ") + target); }
  void beep() override { event("beep"); }
  void message(const char* text) override { event(std::string("message ") + text); }
  void exit() override {
    if (exited) return;
    exited = true;
    event("exit");
  }

  static std::string windowText(const WindowGeometry& g) {
    std::ostringstream s;
    s << "window left=" << g.left << " top=" << g.top << " width=" << g.width
      << " height=" << g.height;
    return s.str();
  }

 private:
  std::ostream& out_;
  const Scheduler& scheduler_;
  const DriverOptions& options_;
};

class TracingSettings : public SettingsStore {
 public:
  TracingSettings(SettingsStore& inner, Trace& trace) : inner_(inner), trace_(trace) {}
  std::int32_t readInt(const char* name, std::int32_t fallback) override {
    return inner_.readInt(name, fallback);
  }
  void writeInt(const char* name, std::int32_t value) override {
    trace_.event(std::string("store ") + name + "=" + std::to_string(value));
    inner_.writeInt(name, value);
  }

 private:
  SettingsStore& inner_;
  Trace& trace_;
};

std::optional<int> keyCode(const std::string& word) {
  static const std::pair<const char*, int> kNames[] = {
      {"ctrl", VkCtrl}, {"esc", VkEsc},  {"left", VkLeft}, {"up", VkUp}, {"right", VkRight},
      {"down", VkDown}, {"f1", VkF1},    {"f2", VkF2},     {"f3", VkF3}, {"f4", VkF4}};
  for (const auto& [name, code] : kNames)
    if (word == name) return code;
  int code;
  if (toInt(word, code) && code >= 0 && code <= 0xFFFF) return code;
  return std::nullopt;
}

std::optional<MouseButton> buttonNamed(const std::string& word) {
  if (word == "left") return MouseButton::Left;
  if (word == "right") return MouseButton::Right;
  if (word == "middle") return MouseButton::Middle;
  return std::nullopt;
}

std::optional<MenuEntry> menuEntry(const std::string& word) {
  static const std::pair<const char*, MenuEntry> kEntries[] = {
      {"PM_1About", MenuEntry::PM_1About},       {"PM_3Readme", MenuEntry::PM_3Readme},
      {"PM_4Whatsnew", MenuEntry::PM_4Whatsnew}, {"PM_6Instruct", MenuEntry::PM_6Instruct},
      {"PM_8Hiscore", MenuEntry::PM_8Hiscore},   {"PM_10Exit", MenuEntry::PM_10Exit}};
  for (const auto& [name, entry] : kEntries)
    if (word == name) return entry;
  return std::nullopt;
}

}  // namespace

bool parseTimeOption(const std::string& text, DriverOptions& o) {
  int h = 0, m = 0, s = 0, ms = 0;
  char tail = 0;
  const int n = std::sscanf(text.c_str(), "%d:%d:%d.%d%c", &h, &m, &s, &ms, &tail);
  if (n < 2 || n > 4) return false;
  // Reject what sscanf would silently skip (signs, spaces, extra fields).
  for (char c : text)
    if (!(c == ':' || c == '.' || (c >= '0' && c <= '9'))) return false;
  if (h > 23 || m > 59 || s > 59 || ms > 999 || h < 0 || m < 0 || s < 0 || ms < 0) return false;
  o.hour = h;
  o.minute = m;
  o.second = s;
  o.millisecond = ms;
  return true;
}

bool parseScreenOption(const std::string& text, DriverOptions& o) {
  const auto x = text.find('x');
  if (x == std::string::npos) return false;
  int w, h;
  if (!toInt(text.substr(0, x), w) || !toInt(text.substr(x + 1), h)) return false;
  if (w <= 0 || h <= 0 || w > 100000 || h > 100000) return false;
  o.screenWidth = w;
  o.screenHeight = h;
  return true;
}

struct Driver::Impl {
  Impl(const DriverOptions& o, std::ostream& out, std::ostream& err)
      : options(o),
        out(out),
        err(err),
        time(scheduler, ((o.hour * 60LL + o.minute) * 60 + o.second) * 1000 + o.millisecond),
        trace(out, scheduler, options),
        store(openStore()),
        settings(*store, trace),
        sound(recorder),
        program(HandheldServices{scheduler, time, sound, settings, trace}) {
    recorder.failFirstLoad = o.soundFail;
    trace.surface = &program.form1.surface;
    program.form1.surface.setListener(&trace);
    sound.setListener(&trace);
    program.start();
    trace.enabled = o.trace;
  }

  std::unique_ptr<SettingsStore> openStore() {
    if (!options.settingsFile.empty()) return std::make_unique<IniSettings>(options.settingsFile);
    // Without a file the run's values live in memory: the driver never
    // touches a person's high scores, nor the disk.
    return std::make_unique<MemorySettings>();
  }

  void dump();
  // Runs one script line; returns false with `error` set when it cannot.
  bool execute(const std::vector<std::string>& words, std::string& error);
  bool point(const std::vector<std::string>& words, std::size_t at, int& x, int& y,
             std::size_t& next, std::string& error);

  DriverOptions options;
  std::ostream& out;
  std::ostream& err;
  Scheduler scheduler;
  SimTimeOfDay time;
  Trace trace;
  std::unique_ptr<SettingsStore> store;
  TracingSettings settings;
  RecordingOutput recorder;
  Sound sound;
  Program program;
  SnapshotWriter snapshot;
};

void Driver::Impl::dump() {
  const Handheld& h = program.form1;
  out << "time " << scheduler.now() << '\n';
  out << Trace::windowText(h.window()).c_str() << '\n';
  out << "lit";
  for (int i = 0; i < ElementCount; ++i)
    if (h.surface.lit(static_cast<Element>(i))) out << ' ' << nameOf(static_cast<Element>(i));
  out << '\n' << "digits";
  for (int p = 1; p <= 4; ++p) out << ' ' << Trace::digitOf(h.surface.picture(h.tables.DigitPos(p)));
  out << '\n' << "state";
#define CANTIERE_DUMP_FIELD(type, name) out << ' ' << #name "=" << static_cast<long long>(h.state.name);
  CANTIERE_GAME_STATE_FIELDS(CANTIERE_DUMP_FIELD)
#undef CANTIERE_DUMP_FIELD
  out << '\n' << "timers";
  for (int t = 0; t < TimerCount; ++t) {
    const auto id = static_cast<TimerId>(t);
    out << ' ' << timerName(id) << '=' << (h.timerEnabled(id) ? "on:" : "off:")
        << h.timerInterval(id);
  }
  out << '\n';
}

bool Driver::Impl::point(const std::vector<std::string>& w, std::size_t at, int& x, int& y,
                         std::size_t& next, std::string& error) {
  if (at >= w.size()) {
    error = "missing element name or point";
    return false;
  }
  if (toInt(w[at], x)) {
    if (at + 1 >= w.size() || !toInt(w[at + 1], y)) {
      error = "a point needs two integers";
      return false;
    }
    next = at + 2;
    return true;
  }
  const auto e = elementByName(w[at]);
  if (!e) {
    error = "unknown element '" + w[at] + "'";
    return false;
  }
  const Rect& r = info(*e).rect;
  x = r.left + r.width / 2;
  y = r.top + r.height / 2;
  next = at + 1;
  return true;
}

bool Driver::Impl::execute(const std::vector<std::string>& w, std::string& error) {
  const std::string& cmd = w[0];
  Program& p = program;
  auto noMore = [&](std::size_t count) {
    if (w.size() > count) {
      error = "unexpected '" + w[count] + "'";
      return false;
    }
    return true;
  };
  auto inWindow = [&](int x, int y) {
    const WindowGeometry& g = p.form1.window();
    return x >= 0 && y >= 0 && x < g.width && y < g.height;
  };

  if (cmd == "play") {
    int n;
    if (w.size() < 2 || !toInt(w[1], n) || n < 0 || n >= kSoundModeCount) {
      error = "play needs a sound-list entry 0, 1 or 2";
      return false;
    }
    if (!noMore(2)) return false;
    if (!p.splash.visible) {
      error = "the launcher is closed";
      return false;
    }
    p.splash.CB_SoundChange(n);
    p.splash.Puls_PlayClick();
    return true;
  }
  if (cmd == "press" || cmd == "click") {
    int x, y;
    std::size_t next;
    if (!point(w, 1, x, y, next, error)) return false;
    MouseButton button = MouseButton::Left;
    if (cmd == "press" && next < w.size()) {
      const auto b = buttonNamed(w[next]);
      if (!b) {
        error = "unknown mouse button '" + w[next] + "'";
        return false;
      }
      button = *b;
      ++next;
    }
    if (!noMore(next)) return false;
    // A point outside the window's client area is not on the window.
    if (!inWindow(x, y)) return true;
    p.pointer.press(x, y, button);
    if (cmd == "click") p.pointer.release(MouseButton::Left);
    return true;
  }
  if (cmd == "release") {
    MouseButton button = p.pointer.heldButton();
    if (w.size() > 1) {
      const auto b = buttonNamed(w[1]);
      if (!b) {
        error = "unknown mouse button '" + w[1] + "'";
        return false;
      }
      button = *b;
    }
    if (!noMore(w.size() > 1 ? 2 : 1)) return false;
    p.pointer.release(button);
    return true;
  }
  if (cmd == "move") {
    int x, y;
    if (w.size() != 3 || !toInt(w[1], x) || !toInt(w[2], y)) {
      error = "move needs a point X Y";
      return false;
    }
    p.pointer.move(x, y);
    return true;
  }
  if (cmd == "keydown" || cmd == "keyup") {
    const auto key = w.size() == 2 ? keyCode(w[1]) : std::nullopt;
    if (!key) {
      error = cmd + " needs one key";
      return false;
    }
    if (cmd == "keydown") {
      p.keyDown(*key);
    } else {
      p.keyUp(*key);
    }
    return true;
  }
  if (cmd == "menu") {
    const auto entry = w.size() == 2 ? menuEntry(w[1]) : std::nullopt;
    if (!entry) {
      error = "unknown menu entry";
      return false;
    }
    p.splash.choose(*entry);
    return true;
  }
  if (cmd == "wait") {
    int ms;
    if (w.size() != 2 || !toInt(w[1], ms) || ms < 0) {
      error = "wait needs a number of milliseconds";
      return false;
    }
    scheduler.advance(ms);
    return true;
  }
  if (cmd == "dump") {
    if (!noMore(1)) return false;
    dump();
    return true;
  }
  if (cmd == "snapshot") {
    if (w.size() != 2) {
      error = "snapshot needs one file name";
      return false;
    }
    if (!snapshot) {
      error = "this build cannot draw snapshots";
      return false;
    }
    return snapshot(program, w[1], error);
  }
  error = "unknown command '" + cmd + "'";
  return false;
}

Driver::Driver(const DriverOptions& options, std::ostream& out, std::ostream& err)
    : impl_(std::make_unique<Impl>(options, out, err)) {}

Driver::~Driver() = default;

void Driver::setSnapshotWriter(SnapshotWriter writer) { impl_->snapshot = std::move(writer); }

int Driver::run(std::istream& script) {
  std::string text;
  for (int number = 1; !impl_->trace.exited && std::getline(script, text); ++number) {
    if (const auto hash = text.find('#'); hash != std::string::npos) text.resize(hash);
    std::istringstream words(text);
    std::vector<std::string> w;
    for (std::string word; words >> word;) w.push_back(word);
    if (w.empty()) continue;
    std::string error;
    if (!impl_->execute(w, error)) {
      impl_->out.flush();
      impl_->err << "cantiere-sim: line " << number << ": " << error << '\n';
      return 2;
    }
  }
  impl_->out.flush();
  return 0;
}

}  // namespace cantiere
