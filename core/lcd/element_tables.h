// SPDX-License-Identifier: GPL-3.0-or-later
// Lookup tables that address the LCD elements by the grid's own numbers
// (column, row, digit, piece). Indices start where the grid starts (0, 1 or
// 2), so a handler reads `BarrelSeg(c, 7)` exactly as the layout names it.
#pragma once

#include <array>

#include "core/lcd/catalogue.h"

namespace cantiere {

struct OrcoPoseCell {
  Element Up = NoElement;
  Element Down = NoElement;
};

class ElementTables {
 public:
  // Fills every table; called once by the window's creation.
  void fill();

  // Every accessor answers NoElement for an empty cell or an index outside
  // the table, and counts the latter, so that a bad index shows up in tests
  // instead of reading past an array.
  Element DigitGlyph(int d) const { return at(digitGlyph_, d, 0); }
  Element DigitPos(int p) const { return at(digitPos_, p, 1); }
  Element KeyPiece(int k) const { return at(keyPiece_, k, 1); }
  Element HookFrame(int k) const { return at(hookFrame_, k, 1); }
  Element BeamSeg(int c) const { return at(beamSeg_, c, 2); }
  Element LifeIcon(int i) const { return at(lifeIcon_, i, 1); }
  OrcoPoseCell OrcoPose(int c) const;
  Element OminoPose(int c, int r) const;
  Element BarrelSeg(int c, int r) const;

  int outOfRangeReads() const { return outOfRangeReads_; }

 private:
  template <std::size_t N>
  Element at(const std::array<Element, N>& table, int index, int first) const {
    const int i = index - first;
    if (i < 0 || i >= static_cast<int>(N)) {
      ++outOfRangeReads_;
      return NoElement;
    }
    return table[i];
  }

  std::array<Element, 10> digitGlyph_{};          // [0..9]
  std::array<Element, 4> digitPos_{};             // [1..4]
  std::array<Element, 4> keyPiece_{};             // [1..4]
  std::array<Element, 5> hookFrame_{};            // [1..5]
  std::array<Element, 5> beamSeg_{};              // [2..6]
  std::array<Element, 3> lifeIcon_{};             // [1..3]
  std::array<OrcoPoseCell, 5> orcoPose_{};        // [2..6]
  std::array<std::array<Element, 6>, 5> ominoPose_{};  // [2..6][2..7]
  std::array<std::array<Element, 7>, 6> barrelSeg_{};  // [1..6][1..7]
  mutable int outOfRangeReads_ = 0;
};

}  // namespace cantiere
