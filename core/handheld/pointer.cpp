// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/handheld/pointer.h"

#include <algorithm>
#include <cstdint>

namespace cantiere {
namespace {

int withinRange(std::int64_t v) {
  return static_cast<int>(std::clamp<std::int64_t>(v, -kPointerRange, kPointerRange));
}

// The four case buttons and their handlers, pressed and released alike.
struct CaseButton {
  Element element;
  void (Handheld::*down)(MouseButton);
  void (Handheld::*up)(MouseButton);
};
constexpr CaseButton kCaseButtons[] = {
    {Puls_GameA, &Handheld::Puls_GameAMouseDown, &Handheld::Puls_GameAMouseUp},
    {Puls_GameB, &Handheld::Puls_GameBMouseDown, &Handheld::Puls_GameBMouseUp},
    {Puls_Time, &Handheld::Puls_TimeMouseDown, &Handheld::Puls_TimeMouseUp},
    {Puls_ACL, &Handheld::Puls_ACLMouseDown, &Handheld::Puls_ACLMouseUp},
};

void caseButton(Handheld& h, Element e, MouseButton b, bool down) {
  for (const CaseButton& button : kCaseButtons) {
    if (button.element == e) (h.*(down ? button.down : button.up))(b);
  }
}

void buttonDown(Handheld& h, Element e, MouseButton b) { caseButton(h, e, b, true); }
void buttonUp(Handheld& h, Element e, MouseButton b) { caseButton(h, e, b, false); }

constexpr ElementHint kOpen{"Click to open", false};
constexpr ElementHint kGameA{"Click to start Game A (hold to view hiscore)", false};
constexpr ElementHint kGameB{"Click to start Game B (hold to view hiscore)", false};
constexpr ElementHint kTime{"Click to view current time (hold to view alarm time)", false};
constexpr ElementHint kAcl{"Click to reset game", false};
constexpr ElementHint kJump{"Use 'CTRL' key to jump", true};
constexpr ElementHint kAlarm{"Button disabled", true};
constexpr ElementHint kCross{"Use arrow keys to move", true};

}  // namespace

Element hitTest(const Surface& surface, int x, int y) {
  for (int i = ElementCount - 1; i >= 0; --i) {
    const auto e = static_cast<Element>(i);
    if (surface.lit(e) && info(e).rect.contains(x, y)) return e;
  }
  return NoElement;
}

bool isDragSurface(Element e) {
  return e == Im_Base || e == Im_Front || e == Im_Schermo1Top || e == Im_Schermo2Top;
}

const ElementHint* hintOf(Element e) {
  switch (e) {
    case Im_Front: return &kOpen;
    case Puls_GameA: return &kGameA;
    case Puls_GameB: return &kGameB;
    case Puls_Time: return &kTime;
    case Puls_ACL: return &kAcl;
    case Puls_Jump: return &kJump;
    case Puls_Alarm: return &kAlarm;
    case Puls_Cross1:
    case Puls_Cross2: return &kCross;
    default: return nullptr;
  }
}

void Pointer::press(int x, int y, MouseButton button) {
  x = withinRange(x);
  y = withinRange(y);
  x_ = x;
  y_ = y;
  if (captured_ != NoElement) return;  // one press at a time
  const Element e = hitTest(h_.surface, x, y);
  if (e == NoElement) return;
  captured_ = e;
  capturedButton_ = button;
  dragged_ = false;
  const Rect& r = info(e).rect;
  if (isDragSurface(e)) h_.Im_BaseMouseDown(button, x - r.left, y - r.top);
  buttonDown(h_, e, button);
}

void Pointer::deliverMove(Element e, int x, int y) {
  if (!isDragSurface(e)) return;
  const bool leftHeld = captured_ == e && capturedButton_ == MouseButton::Left;
  const WindowGeometry before = h_.window();
  const Rect& r = info(e).rect;
  h_.Im_BaseMouseMove(leftHeld, x - r.left, y - r.top);
  const WindowGeometry& after = h_.window();
  if (after.left != before.left || after.top != before.top) {
    dragged_ = true;
    // The pointer stays where it is on the screen, so in the moved window's
    // client area it is where the drag began.
    x_ = withinRange(std::int64_t{x_} - after.left + before.left);
    y_ = withinRange(std::int64_t{y_} - after.top + before.top);
  }
}

void Pointer::move(int x, int y) {
  x = withinRange(x);
  y = withinRange(y);
  x_ = x;
  y_ = y;
  const Element e = captured_ != NoElement ? captured_ : hitTest(h_.surface, x, y);
  if (e != NoElement) deliverMove(e, x, y);
}

void Pointer::release(MouseButton button) {
  if (captured_ == NoElement) return;
  const Element e = captured_;
  captured_ = NoElement;
  buttonUp(h_, e, button);
  // A click is a left press and release over the same element, unless the
  // window was dragged in between: dragging the closed case must not open it.
  if (button == MouseButton::Left && !dragged_ && hitTest(h_.surface, x_, y_) == e &&
      e == Im_Front)
    h_.Im_FrontClick();
}

}  // namespace cantiere
