// SPDX-License-Identifier: GPL-3.0-or-later
#include "web/page_pads.h"

#include <cmath>
#include <cstdlib>
#include <optional>

namespace cantiere {
namespace {

// The Gamepad API's standard layout, by index.
std::optional<PadButton> standardButtonOf(int index) {
  switch (index) {
    case 0: return PadButton::South;
    case 1: return PadButton::East;
    case 2: return PadButton::West;
    case 3: return PadButton::North;
    case 4: return PadButton::LeftShoulder;
    case 5: return PadButton::RightShoulder;
    case 8: return PadButton::Back;
    case 9: return PadButton::Start;
    case 10: return PadButton::LeftStick;
    case 11: return PadButton::RightStick;
    case 12: return PadButton::DpadUp;
    case 13: return PadButton::DpadDown;
    case 14: return PadButton::DpadLeft;
    case 15: return PadButton::DpadRight;
    case 16: return PadButton::Guide;
    default: return std::nullopt;  // the triggers play no part
  }
}

PadButton buttonFor(HandheldInput input) {
  switch (input) {
    case HandheldInput::Left: return PadButton::DpadLeft;
    case HandheldInput::Up: return PadButton::DpadUp;
    case HandheldInput::Right: return PadButton::DpadRight;
    case HandheldInput::Down: return PadButton::DpadDown;
    default: return PadButton::South;
  }
}

// The cross pad's middle and the jump button's, in catalogue pixels, and
// how far from them a touch still counts.
constexpr int kPadX = 64, kPadY = 485, kPadReach = 50;
constexpr int kJumpX = 402, kJumpY = 485, kJumpReach = 34;

}  // namespace

PagePads::PagePads(const Program& program, ModelInput& input, std::function<bool()> playing,
                   std::function<void(int)> repeatIn)
    : delivery_(program, input),
      map_([this](HandheldInput i, bool down) { changed(i, down); }),
      playing_(std::move(playing)),
      repeatIn_(std::move(repeatIn)) {}

void PagePads::standardButton(PadId pad, int index, bool down) {
  if (const auto b = standardButtonOf(index)) map_.button(pad, *b, down);
}

void PagePads::standardAxis(PadId pad, int index, double value) {
  if (index != 0 && index != 1) return;
  if (!std::isfinite(value)) value = 0;
  const double clamped = value < -1 ? -1 : value > 1 ? 1 : value;
  const int scaled = static_cast<int>(std::lround(clamped * (clamped < 0 ? 32768 : 32767)));
  map_.axis(pad, index == 0 ? PadAxis::LeftX : PadAxis::LeftY, scaled);
}

HandheldInput PagePads::caseControl(int x, int y) {
  const int px = x - kPadX, py = y - kPadY;
  if (px * px + py * py <= kPadReach * kPadReach) {
    // The arm the finger is nearest: the larger of the two distances.
    if (std::abs(px) >= std::abs(py)) return px < 0 ? HandheldInput::Left : HandheldInput::Right;
    return py < 0 ? HandheldInput::Up : HandheldInput::Down;
  }
  const int jx = x - kJumpX, jy = y - kJumpY;
  if (jx * jx + jy * jy <= kJumpReach * kJumpReach) return HandheldInput::Jump;
  return HandheldInput::None;
}

void PagePads::holdCaseControl(HandheldInput input) {
  if (input == caseHeld_) return;
  if (caseHeld_ != HandheldInput::None) map_.button(kCasePad, buttonFor(caseHeld_), false);
  caseHeld_ = input;
  if (input != HandheldInput::None) map_.button(kCasePad, buttonFor(input), true);
}

void PagePads::changed(HandheldInput input, bool down) {
  if (down) {
    if (!playing_()) return;
    delivery_.press(input);
    if (isDirection(input) && delivery_.pressed(input)) {
      repeating_ = true;
      repeatIn_(kRepeatDelay);
    }
    return;
  }
  // Always, so that nothing stays held.
  delivery_.release(input);
  if (map_.repeating() == HandheldInput::None && repeating_) {
    repeating_ = false;
    repeatIn_(-1);
  }
}

void PagePads::repeat() {
  const HandheldInput held = map_.repeating();
  if (held == HandheldInput::None) {
    repeating_ = false;
    return;
  }
  if (playing_() && delivery_.pressed(held)) delivery_.press(held);
  repeatIn_(kRepeatInterval);
}

}  // namespace cantiere
