// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/input/gamepad_map.h"

#include <algorithm>
#include <cstdlib>

namespace cantiere {
namespace {

using In = HandheldInput;

// Full travel of an axis; the negative side's one extra unit counts as full.
constexpr int kFull = 32767;

int travel(int value) { return std::min(std::abs(value), kFull); }
// A direction is pressed beyond half the travel and let go under 35 %, so
// a stick resting near either line never chatters.
bool pastPress(int t) { return t * 2 > kFull; }
bool underRelease(int t) { return t * 100 < 35 * kFull; }

}  // namespace

HandheldInput inputOf(PadButton b) {
  switch (b) {
    case PadButton::DpadLeft: return In::Left;
    case PadButton::DpadUp: return In::Up;
    case PadButton::DpadRight: return In::Right;
    case PadButton::DpadDown: return In::Down;
    case PadButton::South:
    case PadButton::East: return In::Jump;
    case PadButton::Start: return In::GameA;
    case PadButton::Back: return In::GameB;
    case PadButton::North: return In::Time;
    default: return In::None;
  }
}

GamepadMap::Pad& GamepadMap::pad(PadId id) {
  for (Pad& p : pads_) {
    if (p.id == id) return p;
  }
  return pads_.emplace_back(Pad{id});
}

void GamepadMap::button(PadId id, PadButton b, bool down) {
  if (b >= PadButton::Count) return;
  Pad& p = pad(id);
  bool& held = p.buttons[static_cast<int>(b)];
  if (held == down) return;
  held = down;
  const In input = inputOf(b);
  if (input == In::None) return;
  if (down) {
    take(input);
  } else {
    letGo(input);
  }
}

void GamepadMap::axis(PadId id, PadAxis a, int value) {
  Pad& p = pad(id);
  (a == PadAxis::LeftX ? p.x : p.y) = value;
  steer(p);
}

// At most one direction from the stick: the axis that leads. A held
// direction gives way to the other axis only once that one is past half
// its travel and half as far again as the held one (some 56 degrees), so a
// stick held on the diagonal does not flicker between the two.
void GamepadMap::steer(Pad& p) {
  const int ax = travel(p.x), ay = travel(p.y);
  In want = p.stick;
  if (want != In::None) {
    const bool horizontal = want == In::Left || want == In::Right;
    const int signedAlong = horizontal ? p.x : p.y;
    const bool towards = (want == In::Left || want == In::Up) ? signedAlong < 0 : signedAlong > 0;
    const int along = towards ? travel(signedAlong) : 0;
    const int across = horizontal ? ay : ax;
    if (underRelease(along) || (pastPress(across) && across * 2 > along * 3)) want = In::None;
  }
  if (want == In::None) {
    if (ax >= ay && pastPress(ax)) {
      want = p.x < 0 ? In::Left : In::Right;
    } else if (ay > ax && pastPress(ay)) {
      want = p.y < 0 ? In::Up : In::Down;
    }
  }
  if (want == p.stick) return;
  const In before = p.stick;
  p.stick = want;
  // Let go first, so the new direction is not taken for a repeat of the old.
  if (before != In::None) letGo(before);
  if (want != In::None) take(want);
}

void GamepadMap::removed(PadId id) {
  const auto it =
      std::find_if(pads_.begin(), pads_.end(), [id](const Pad& p) { return p.id == id; });
  if (it == pads_.end()) return;
  const Pad p = *it;
  pads_.erase(it);
  for (int b = 0; b < static_cast<int>(PadButton::Count); ++b) {
    const In input = inputOf(static_cast<PadButton>(b));
    if (p.buttons[b] && input != In::None) letGo(input);
  }
  if (p.stick != In::None) letGo(p.stick);
}

void GamepadMap::take(In i) {
  if (holders_[index(i)]++ > 0) return;
  pressOrder_[index(i)] = ++presses_;
  listener_(i, true);
}

void GamepadMap::letGo(In i) {
  if (--holders_[index(i)] > 0) return;
  listener_(i, false);
}

HandheldInput GamepadMap::repeating() const {
  In latest = In::None;
  for (In d : {In::Left, In::Up, In::Right, In::Down}) {
    if (held(d) && (latest == In::None || pressOrder_[index(d)] > pressOrder_[index(latest)]))
      latest = d;
  }
  return latest;
}

}  // namespace cantiere
