// SPDX-License-Identifier: GPL-3.0-or-later
// The colours of our case and screen art, in one place so the two pictures
// stay in one family.
#pragma once

#include <QColor>

namespace cantiere::art {

// The case: shell, printed plates, rubber keys.
inline const QColor kShell(28, 88, 104);
inline const QColor kPlate(208, 200, 180);
inline const QColor kInk(120, 36, 24);
inline const QColor kRed(200, 58, 40);
inline const QColor kBezel(38, 40, 44);
inline const QColor kRubber(44, 44, 48);
inline const QColor kKey(214, 92, 44);
inline const QColor kJump(200, 36, 40);

// The screens' printed scenery: glass, girders, ladders, steel.
inline const QColor kGlass(196, 203, 178);
inline const QColor kGirder(196, 72, 46);
inline const QColor kGirderDark(132, 40, 26);
inline const QColor kGirderLight(236, 140, 100);
inline const QColor kLadder(214, 160, 40);
inline const QColor kSteel(92, 112, 140);
inline const QColor kSteelDark(58, 72, 96);
inline const QColor kConcrete(150, 146, 136);
inline const QColor kWood(150, 104, 60);

}  // namespace cantiere::art
