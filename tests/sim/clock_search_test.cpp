// SPDX-License-Identifier: GPL-3.0-or-later
// A seeded search through the driver: random presses and releases of the
// case buttons and keys around the end of a game. Whatever the order, once
// the handheld is in the clock no element of the game may stay lit.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "sim/driver.h"

namespace cantiere {
namespace {

// The game's elements: the play field and the Game A / Game B labels. The
// barrel at the ladder top, Im_Bar15, is left out: no clearing of the
// screens ever touches it, so it keeps the state the game left.
bool isGameElement(const std::string& name) {
  if (name == "Im_Bar15") return false;
  for (const char* prefix : {"Im_Bar", "Im_Omino", "Im_Orco", "Im_Key", "Im_Gancio", "Im_Trave",
                             "Im_Gru", "Im_Leva", "Im_Sbarre", "Im_Heart", "Im_Vite", "Im_Game"})
    if (name.rfind(prefix, 0) == 0) return true;
  return false;
}

// In the clock: the clock runs and no game is chosen. (A game button held
// in the clock shows the starting picture, with the clock stopped.)
bool inTheClock(const std::string& dump) {
  return dump.find(" GameMode=0 ") != std::string::npos &&
         dump.find(" TimerClock=on:") != std::string::npos;
}

// The game elements lit at a dump taken in the clock ("" when none, or
// when the dump is not in the clock).
std::string litInTheClock(const std::string& dump) {
  if (!inTheClock(dump)) return {};
  const auto at = dump.find("\nlit");
  std::istringstream lit(dump.substr(at + 4, dump.find('\n', at + 1) - at - 4));
  std::string found;
  for (std::string name; lit >> name;)
    if (isGameElement(name)) found += " " + name;
  return found;
}

// A fixed search by default; tools/clock_search.sh runs longer ones.
unsigned fromEnvironment(const char* name, unsigned fallback) {
  const char* text = std::getenv(name);
  return text && *text ? static_cast<unsigned>(std::strtoul(text, nullptr, 10)) : fallback;
}

TEST(ClockSearch, NoGameElementStaysLitInTheClock) {
  std::mt19937 random(fromEnvironment("CLOCK_SEARCH_SEED", 20240611));
  const unsigned runs = fromEnvironment("CLOCK_SEARCH_RUNS", 300);
  auto below = [&](std::uint32_t n) { return static_cast<int>(random() % n); };
  const char* buttons[] = {"Puls_GameA", "Puls_GameB", "Puls_Time", "Puls_ACL"};
  const char* keys[] = {"ctrl", "left", "right", "up", "down"};
  unsigned clockDumps = 0;
  for (unsigned run = 0; run < runs; ++run) {
    DriverOptions options;
    options.hour = below(24);
    options.minute = below(60);
    std::vector<std::string> steps = {"play 0", "click Im_Front", std::string("click ") + buttons[below(2)],
                                      "wait " + std::to_string(30000 + below(16000))};
    for (int i = 0; i < 14; ++i) {
      switch (below(6)) {
        case 0:
        case 1: steps.push_back(std::string("press ") + buttons[below(4)] + (below(5) ? "" : " right")); break;
        case 2: steps.push_back("release"); break;
        case 3: steps.push_back(std::string(below(2) ? "keydown " : "keyup ") + keys[below(below(2) ? 1 : 5)]); break;
        default: steps.push_back("wait " + std::to_string(below(8) ? below(1500) : 300000)); break;
      }
    }
    std::string script;
    for (const std::string& step : steps) script += step + "\ndump\n";
    std::ostringstream out, err;
    std::istringstream in(script);
    Driver driver(options, out, err);
    ASSERT_EQ(driver.run(in), 0) << err.str();
    // One dump after each step, each beginning with its time.
    const std::string dumps = out.str();
    std::size_t step = 0;
    for (std::size_t at = 0; at < dumps.size(); ++step) {
      const std::size_t next = std::min(dumps.find("\ntime ", at), dumps.size());
      const std::string dump = dumps.substr(at, next - at);
      at = next + 1;
      if (inTheClock(dump)) ++clockDumps;
      ASSERT_EQ(litInTheClock(dump), "") << "with --time " << options.hour << ":" << options.minute
                                        << ", in the clock after step " << step + 1 << " of\n"
                                        << script;
    }
    ASSERT_EQ(step, steps.size());
  }
  EXPECT_GT(clockDumps, runs / 3) << "the search must reach the clock often";
}

}  // namespace
}  // namespace cantiere
