// SPDX-License-Identifier: GPL-3.0-or-later
#include "sim/driver.h"

#include <istream>
#include <optional>
#include <ostream>
#include <sstream>
#include <vector>

#include "core/launcher/program.h"
#include "core/script/script_lines.h"
#include "core/script/script_runner.h"
#include "core/script/state_dump.h"
#include "core/script/traced_settings.h"
#include "core/settings/memory_settings.h"
#include "core/sound/recording_output.h"
#include "common/files/ini_settings.h"
#include "common/lcd/lcd_effects_setting.h"
#include "common/lcd/lcd_response.h"

namespace cantiere {
namespace {

// Turns everything observable into trace lines, time first.
class Trace : public SurfaceListener, public SoundListener, public Desktop {
 public:
  Trace(std::ostream& out, const Scheduler& scheduler, const DriverOptions& options)
      : out_(out), scheduler_(scheduler), options_(options) {}

  bool enabled = false;
  bool exited = false;
  const Surface* surface = nullptr;
  LcdResponse* lcd = nullptr;  // every change, traced or not, at its instant

  std::ostream& line() { return out_ << scheduler_.now() << ' '; }
  void event(const std::string& text) {
    if (enabled) line() << text << '\n';
  }

  void litChanged(Element e, bool lit) override {
    lcd->litChanged(e, lit, scheduler_.now());
    if (enabled) line() << litLine(e, lit) << '\n';
  }
  void pictureChanged(Element e) override {
    lcd->pictureChanged(e, surface->picture(e), scheduler_.now());
    if (!enabled) return;
    if (const auto digit = digitLine(e, surface->picture(e))) line() << *digit << '\n';
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

 private:
  std::ostream& out_;
  const Scheduler& scheduler_;
  const DriverOptions& options_;
};


}  // namespace

bool parseTimeOption(const std::string& text, DriverOptions& o) {
  std::int64_t ms;
  if (!parseTimeOfDay(text, ms)) return false;
  o.hour = static_cast<int>(ms / 3600000);
  o.minute = static_cast<int>(ms / 60000 % 60);
  o.second = static_cast<int>(ms / 1000 % 60);
  o.millisecond = static_cast<int>(ms % 1000);
  return true;
}

bool parseScreenOption(const std::string& text, DriverOptions& o) {
  ScreenSize size;
  if (!parseScreenSize(text, size)) return false;
  o.screenWidth = size.width;
  o.screenHeight = size.height;
  o.screenGiven = true;
  return true;
}

struct Driver::Impl {
  Impl(const DriverOptions& o, std::ostream& out, std::ostream& err)
      : options(o),
        out(out),
        err(err),
        time(scheduler),
        trace(out, scheduler, options),
        store(openStore()),
        settings(*store, [this](const std::string& line) { trace.event(line); }),
        sound(recorder),
        program(HandheldServices{scheduler, time, sound, settings, trace}),
        lcd(program.form1.surface),
        runner(program, scheduler, time, hooks()) {
    time.set(((o.hour * 60LL + o.minute) * 60 + o.second) * 1000 + o.millisecond, 0);
    recorder.failFirstLoad = o.soundFail;
    trace.surface = &program.form1.surface;
    trace.lcd = &lcd;
    program.form1.surface.setListener(&trace);
    sound.setListener(&trace);
  }

  std::unique_ptr<SettingsStore> openStore() {
    if (!options.settingsFile.empty()) return std::make_unique<IniSettings>(options.settingsFile);
    // Without a file the run's values live in memory: the driver never
    // touches a person's high scores, nor the disk.
    return std::make_unique<MemorySettings>();
  }

  ScriptRunner::Hooks hooks() {
    ScriptRunner::Hooks h;
    // A recording brings the screen and the high scores it was made with;
    // --screen and --settings, when given, have the last word.
    h.header = [this](const RecordingHeader& header) {
      if (header.screenGiven && !options.screenGiven) {
        options.screenWidth = header.screen.width;
        options.screenHeight = header.screen.height;
      }
      if (header.hiscoresGiven && options.settingsFile.empty()) {
        store->writeInt("HiScoreA", header.hiscoreA);
        store->writeInt("HiScoreB", header.hiscoreB);
      }
    };
    h.started = [this] { trace.enabled = options.trace; };
    h.dump = [this] {
      writeDump(out, program.form1, scheduler.now());
      // Seen at once by whoever feeds the script line by line through a pipe.
      out.flush();
    };
    h.snapshot = [this](const std::string& file, int zoom, std::string& error) {
      if (!snapshot) {
        error = "this build cannot draw snapshots";
        return false;
      }
      return snapshot(program, file, zoom, error);
    };
    return h;
  }

  DriverOptions options;
  std::ostream& out;
  std::ostream& err;
  Scheduler scheduler;
  AnchoredTimeOfDay time;
  Trace trace;
  std::unique_ptr<SettingsStore> store;
  TracedSettings settings;
  RecordingOutput recorder;
  Sound sound;
  Program program;
  LcdResponse lcd;
  ScriptRunner runner;
  SnapshotWriter snapshot;
};

Driver::Driver(const DriverOptions& options, std::ostream& out, std::ostream& err)
    : impl_(std::make_unique<Impl>(options, out, err)) {}

Driver::~Driver() = default;

void Driver::setSnapshotWriter(SnapshotWriter writer) { impl_->snapshot = std::move(writer); }

std::int64_t Driver::now() const { return impl_->scheduler.now(); }
const LcdResponse& Driver::lcdResponse() const { return impl_->lcd; }
bool Driver::lcdEffects() const { return lcdEffectsOn(*impl_->store); }

int Driver::run(std::istream& script) {
  StreamLines lines(script);
  std::string text, error;
  while (!impl_->trace.exited && lines.next(text)) {
    if (!impl_->runner.feed(text, error)) {
      impl_->out.flush();
      impl_->err << "cantiere-sim: line " << impl_->runner.lineNumber() << ": " << error << '\n';
      return 2;
    }
  }
  impl_->runner.finish();
  impl_->out.flush();
  return 0;
}

}  // namespace cantiere
