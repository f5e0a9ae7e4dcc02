// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/lcd/element_tables.h"

namespace cantiere {

void ElementTables::fill() {
  digitGlyph_ = {Im_Num0, Im_Num1, Im_Num2, Im_Num3, Im_Num4,
                 Im_Num5, Im_Num6, Im_Num7, Im_Num8, Im_Num9};
  digitPos_ = {Im_NumPos1, Im_NumPos2, Im_NumPos3, Im_NumPos4};
  keyPiece_ = {Im_Key1, Im_Key2, Im_Key3, Im_Key4};
  hookFrame_ = {Im_Gancio1, Im_Gancio2, Im_Gancio3, Im_Gancio4, Im_Gancio5};
  beamSeg_ = {Im_Trave2, Im_Trave3, Im_Trave4, Im_Trave5, Im_Trave6};
  lifeIcon_ = {Im_Vite1, Im_Vite2, Im_Vite3};

  orcoPose_ = {};
  orcoPose_[0] = {Im_Orco2Up, Im_Orco2Down};
  orcoPose_[2] = {Im_Orco4Up, Im_Orco4Down};
  orcoPose_[4] = {Im_Orco6Up, Im_Orco6Down};

  for (auto& column : ominoPose_) column.fill(NoElement);
  auto omino = [this](int c, int r, Element e) { ominoPose_[c - 2][r - 2] = e; };
  omino(2, 2, Im_Omino22B);
  omino(4, 2, Im_Omino42);
  omino(6, 2, Im_Omino62);
  omino(2, 4, Im_Omino24);
  omino(2, 5, Im_Omino25);
  const Element row6[] = {Im_Omino26, Im_Omino36, Im_Omino46, Im_Omino56, Im_Omino66};
  const Element row7[] = {Im_Omino27, Im_Omino37, Im_Omino47, Im_Omino57, Im_Omino67};
  for (int c = 2; c <= 6; ++c) {
    omino(c, 6, row6[c - 2]);
    omino(c, 7, row7[c - 2]);
  }

  for (auto& column : barrelSeg_) column.fill(NoElement);
  auto barrel = [this](int c, int r, Element e) { barrelSeg_[c - 1][r - 1] = e; };
  const Element falling[3][3] = {{Im_BarFall21, Im_BarFall22, Im_BarFall23},
                                 {Im_BarFall41, Im_BarFall42, Im_BarFall43},
                                 {Im_BarFall61, Im_BarFall62, Im_BarFall63}};
  for (int i = 0; i < 3; ++i)
    for (int r = 1; r <= 3; ++r) barrel(2 * (i + 1), r, falling[i][r - 1]);
  const Element row4[] = {Im_Bar14, Im_Bar24, Im_Bar34, Im_Bar44, Im_Bar54, Im_Bar64};
  const Element brow6[] = {Im_Bar16, Im_Bar26, Im_Bar36, Im_Bar46, Im_Bar56, Im_Bar66};
  const Element brow7[] = {Im_Bar17, Im_Bar27, Im_Bar37, Im_Bar47, Im_Bar57, Im_Bar67};
  for (int c = 1; c <= 6; ++c) {
    barrel(c, 4, row4[c - 1]);
    barrel(c, 6, brow6[c - 1]);
    barrel(c, 7, brow7[c - 1]);
  }
  barrel(1, 5, Im_Bar15);
}

OrcoPoseCell ElementTables::OrcoPose(int c) const {
  if (c < 2 || c > 6) {
    ++outOfRangeReads_;
    return {};
  }
  return orcoPose_[c - 2];
}

Element ElementTables::OminoPose(int c, int r) const {
  if (c < 2 || c > 6 || r < 2 || r > 7) {
    ++outOfRangeReads_;
    return NoElement;
  }
  return ominoPose_[c - 2][r - 2];
}

Element ElementTables::BarrelSeg(int c, int r) const {
  if (c < 1 || c > 6 || r < 1 || r > 7) {
    ++outOfRangeReads_;
    return NoElement;
  }
  return barrelSeg_[c - 1][r - 1];
}

}  // namespace cantiere
