// SPDX-License-Identifier: GPL-3.0-or-later
// cantiere-sim's engine: runs the handheld from a script of clicks, keys and
// waits on virtual time and prints dumps and a trace. Kept apart from main()
// so tests can drive it with strings.
#pragma once

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <memory>
#include <string>

namespace cantiere {

class LcdResponse;

struct DriverOptions {
  int hour = 12, minute = 0, second = 0, millisecond = 0;  // --time
  int screenWidth = 1024, screenHeight = 768;            // --screen
  bool screenGiven = false;                              // --screen was given
  std::string settingsFile;                              // --settings ("" = throwaway)
  bool soundFail = false;                                // --sound-fail
  bool trace = false;                                    // --trace
};

// Parses "HH:MM[:SS[.mmm]]" and "WxH"; false on malformed text.
bool parseTimeOption(const std::string& text, DriverOptions& options);
bool parseScreenOption(const std::string& text, DriverOptions& options);

class Driver {
 public:
  // Writes dumps and trace lines to `out`, errors to `err`.
  Driver(const DriverOptions& options, std::ostream& out, std::ostream& err);
  ~Driver();

  // Runs a whole script; returns the exit status: 0 at its end or after the
  // program exited, 2 on a line it cannot understand.
  int run(std::istream& script);

  // Snapshot hook: writes a picture of the window to a file at a zoom in
  // percent; true on success. Installed by builds that link the painter.
  using SnapshotWriter = std::function<bool(const class Program&, const std::string& file,
                                            int zoomPercent, std::string& error)>;
  void setSnapshotWriter(SnapshotWriter writer);

  // What a snapshot draws beside the program: the virtual instant, how far
  // every LCD segment has darkened or faded by then, and whether the store
  // has the LCD's effects on.
  std::int64_t now() const;
  const LcdResponse& lcdResponse() const;
  bool lcdEffects() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace cantiere
