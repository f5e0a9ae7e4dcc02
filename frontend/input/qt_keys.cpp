// SPDX-License-Identifier: GPL-3.0-or-later
#include "frontend/input/qt_keys.h"

#include <QKeyEvent>

#include "core/handheld/handheld.h"

namespace cantiere {

int virtualKey(int k) {
  // Letters and digits share their codes with the virtual keys.
  if ((k >= Qt::Key_A && k <= Qt::Key_Z) || (k >= Qt::Key_0 && k <= Qt::Key_9)) return k;
  if (k >= Qt::Key_F1 && k <= Qt::Key_F24) return 112 + (k - Qt::Key_F1);
  switch (k) {
    case Qt::Key_Control: return VkCtrl;  // left and right alike
    case Qt::Key_Left: return VkLeft;
    case Qt::Key_Up: return VkUp;
    case Qt::Key_Right: return VkRight;
    case Qt::Key_Down: return VkDown;
    case Qt::Key_Escape: return VkEsc;
    case Qt::Key_Backspace: return 8;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return 9;
    case Qt::Key_Return:
    case Qt::Key_Enter: return 13;
    case Qt::Key_Shift: return 16;
    case Qt::Key_Alt:
    case Qt::Key_AltGr: return 18;
    case Qt::Key_Pause: return 19;
    case Qt::Key_CapsLock: return 20;
    case Qt::Key_Space: return 32;
    case Qt::Key_PageUp: return 33;
    case Qt::Key_PageDown: return 34;
    case Qt::Key_End: return 35;
    case Qt::Key_Home: return 36;
    case Qt::Key_Insert: return 45;
    case Qt::Key_Delete: return 46;
    default: return 0;
  }
}

int layoutFreeKey(const QKeyEvent& e) {
  // XKB's key codes of the row of digits, 1 to 9 then 0, on X11 and
  // Wayland alike.
  constexpr quint32 kFirstDigitCode = 10, kLastDigitCode = 19;
  const quint32 code = e.nativeScanCode();
  if (code >= kFirstDigitCode && code <= kLastDigitCode && !(e.modifiers() & Qt::KeypadModifier))
    return code == kLastDigitCode ? Qt::Key_0 : Qt::Key_1 + static_cast<int>(code - kFirstDigitCode);
  return e.key();
}

}  // namespace cantiere
