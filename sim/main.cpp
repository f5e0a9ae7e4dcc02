// SPDX-License-Identifier: GPL-3.0-or-later
// cantiere-sim: the handheld without a display, driven by a script on
// virtual time. How we reproduce a bug and how we prove timings.
#include <fstream>
#include <iostream>
#include <string>

#include "core/script/recording_check.h"
#include "sim/driver.h"
#include "sim/snapshot.h"

namespace {

constexpr const char* kUsage =
    "usage: cantiere-sim [--time HH:MM[:SS[.mmm]]] [--screen WxH] [--settings FILE]\n"
    "                    [--sound-fail] [--trace] [SCRIPT]\n"
    "       cantiere-sim --verify FILE\n"
    "       cantiere-sim --help | --version\n";

// Replays a saved game and compares its end with the final state it
// carries: 0 when they match, 1 when they differ, 2 for a file that cannot
// be read or run.
int verify(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    std::cerr << "cantiere-sim: cannot read " << path << '\n';
    return 2;
  }
  const cantiere::RecordingCheck check = cantiere::checkRecording(file);
  using Outcome = cantiere::RecordingCheck::Outcome;
  switch (check.outcome) {
    case Outcome::Matches:
      std::cout << path << ": " << cantiere::describe(check) << '\n';
      return 0;
    case Outcome::Bad:
      std::cerr << "cantiere-sim: " << path << ": " << cantiere::describe(check) << '\n';
      return 2;
    default:
      std::cerr << "cantiere-sim: " << path << ": " << cantiere::describe(check) << '\n';
      return 1;
  }
}

}  // namespace

int main(int argc, char** argv) {
  cantiere::DriverOptions options;
  std::string scriptPath;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    auto value = [&](std::string& out) {
      if (i + 1 >= argc) return false;
      out = argv[++i];
      return true;
    };
    std::string v;
    if (arg == "--time") {
      if (!value(v) || !cantiere::parseTimeOption(v, options)) {
        std::cerr << "cantiere-sim: --time wants HH:MM[:SS[.mmm]]\n" << kUsage;
        return 2;
      }
    } else if (arg == "--screen") {
      if (!value(v) || !cantiere::parseScreenOption(v, options)) {
        std::cerr << "cantiere-sim: --screen wants WxH\n" << kUsage;
        return 2;
      }
    } else if (arg == "--settings") {
      if (!value(options.settingsFile)) {
        std::cerr << kUsage;
        return 2;
      }
    } else if (arg == "--sound-fail") {
      options.soundFail = true;
    } else if (arg == "--trace") {
      options.trace = true;
    } else if (arg == "--version") {
      std::cout << "cantiere-sim " CANTIERE_VERSION "\n";
      return 0;
    } else if (arg == "--verify") {
      // Only the file decides a check: no other option or script.
      if (!value(v) || argc != 3) {
        std::cerr << kUsage;
        return 2;
      }
      return verify(v);
    } else if (arg == "--help" || arg == "-h") {
      std::cout << kUsage;
      return 0;
    } else if (!arg.empty() && arg[0] == '-' && arg != "-") {
      std::cerr << "cantiere-sim: unknown option " << arg << '\n' << kUsage;
      return 2;
    } else if (scriptPath.empty()) {
      scriptPath = arg;
    } else {
      std::cerr << kUsage;
      return 2;
    }
  }

  cantiere::Driver driver(options, std::cout, std::cerr);
  cantiere::installSnapshotWriter(driver);
  if (scriptPath.empty() || scriptPath == "-") return driver.run(std::cin);
  std::ifstream script(scriptPath);
  if (!script) {
    std::cerr << "cantiere-sim: cannot read " << scriptPath << '\n';
    return 2;
  }
  return driver.run(script);
}
