// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/core/test_support.h"

#include <algorithm>

namespace cantiere::test {
std::vector<std::string> SoundLog::names() const {
  std::vector<std::string> out;
  for (const std::string& e : events) out.push_back(e.substr(e.find(' ') + 1));
  return out;
}

Rig::Rig() { sound.setListener(&soundLog); }

void Rig::openCase() {
  program.start();
  program.splash.CB_SoundChange(0);
  program.splash.Puls_PlayClick();
  h.Im_FrontClick();
}

void Rig::startGame(int mode) {
  if (mode == ModeGameA) {
    h.Puls_GameAMouseDown(MouseButton::Left);
    h.Puls_GameAMouseUp(MouseButton::Left);
  } else {
    h.Puls_GameBMouseDown(MouseButton::Left);
    h.Puls_GameBMouseUp(MouseButton::Left);
  }
}

void Rig::enterEarly() { key(VkCtrl); }

void Rig::startPlaying() {
  openCase();
  startGame(ModeGameA);
  wait(600);
  enterEarly();
}

void Rig::clearField() {
  const ElementTables& t = h.tables;
  for (int c = 1; c <= 6; ++c)
    for (int r = 1; r <= 7; ++r) h.surface.hide(t.BarrelSeg(c, r));
  for (int c = 2; c <= 6; ++c) h.surface.hide(t.BeamSeg(c));
  for (int c = 2; c <= 6; c += 2) {
    h.surface.hide(t.OrcoPose(c).Up);
    h.surface.hide(t.OrcoPose(c).Down);
  }
}

void placePlayer(Handheld& h, int col, int row) {
  GameState& g = h.state;
  h.NascondiOmino();
  g.OminoCol = col;
  g.OminoRow = row;
  g.AwaitingEntry = false;
  g.ControlEnabled = true;
  g.KeyHeld = false;
  h.MostraOmino();
}

std::vector<std::string> Rig::litPlayerPoses() const {
  std::vector<std::string> out;
  for (const std::string& name : litNames())
    if (name.rfind("Im_Omino", 0) == 0) out.push_back(name);
  return out;
}

std::string Rig::digits() const {
  std::string s;
  for (int p = 1; p <= 4; ++p) {
    const Element pic = h.surface.picture(h.tables.DigitPos(p));
    s += pic == NoElement ? '-' : static_cast<char>('0' + (pic - Im_Num0));
  }
  return s;
}

std::vector<std::string> Rig::litNames() const {
  std::vector<std::string> out;
  for (int i = 0; i < ElementCount; ++i)
    if (h.surface.lit(static_cast<Element>(i))) out.push_back(nameOf(static_cast<Element>(i)));
  return out;
}

}  // namespace cantiere::test
