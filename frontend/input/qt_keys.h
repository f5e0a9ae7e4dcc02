// SPDX-License-Identifier: GPL-3.0-or-later
// Qt's keys as the handheld and the program's own shortcuts read them.
#pragma once

class QKeyEvent;

namespace cantiere {

// The virtual-key code the model uses for a Qt key (0 for keys it has no
// code for, which the model ignores).
int virtualKey(int qtKey);

// The key as the program's own shortcuts read it: a key of the row of
// digits is its digit whatever the layout puts there unshifted (the French
// one puts "a" with a grave accent on 0), and the keypad's keys are the
// keys they show.
int layoutFreeKey(const QKeyEvent& e);

}  // namespace cantiere
