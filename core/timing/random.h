// SPDX-License-Identifier: GPL-3.0-or-later
// The game's random generator: a 32-bit linear congruential generator,
// re-seeded from the time of day. Kept exactly as the handheld's own so that
// a seed gives the same ape walk and the same launches.
#pragma once

#include <cstdint>

namespace cantiere {

class Random {
 public:
  void seed(std::uint32_t state) { state_ = state; }
  std::uint32_t state() const { return state_; }

  // An integer from 0 to n-1: the upper 32 bits of the 64-bit product of the
  // new state and n.
  // A range of 0 or less gives 0, as the handheld's own generator does.
  std::int32_t below(std::int32_t n) {
    if (n <= 0) n = 0;
    state_ = state_ * 134775813u + 1u;
    return static_cast<std::int32_t>(
        (static_cast<std::uint64_t>(state_) * static_cast<std::uint32_t>(n)) >> 32);
  }

 private:
  std::uint32_t state_ = 0;
};

}  // namespace cantiere
