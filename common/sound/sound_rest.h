// SPDX-License-Identifier: GPL-3.0-or-later
// When a front end gives its sound output back. An open output costs
// processor time even in silence (a mixing thread, a sound server's stream),
// so once nothing has sounded for this long it rests, its samples kept, and
// the next sound takes it up again.
#pragma once

namespace cantiere {

// Long enough that a game, whose sounds come every second or so, never
// waits for its output; short beside the clock's hours of silence.
constexpr int kSoundRestAfterMs = 10000;

}  // namespace cantiere
