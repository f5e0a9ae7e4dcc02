// SPDX-License-Identifier: GPL-3.0-or-later
// The four digit positions: scores, the clock and the alarm time.
#include "core/handheld/handheld.h"

namespace cantiere {

void Handheld::showDigit(int position, int digit) {
  const Element pos = tables.DigitPos(position);
  if (pos == NoElement) return;
  if (digit < 0 || digit > 9) {
    surface.clearPicture(pos);
  } else {
    surface.copyPicture(pos, tables.DigitGlyph(digit));
  }
}

void Handheld::Trasforma_Score(std::int32_t& value) {
  // A score is 0 to 999. Out-of-range values (a score capped at 999, or a
  // damaged stored high score) are clamped in the caller's variable and the
  // clamped value is drawn, so the display never disagrees with the number
  // that will be compared and stored.
  if (value > 999) value = 999;
  if (value < 0) value = 0;
  const int n = value;
  showDigit(1, -1);
  if (n < 10) {
    showDigit(2, -1);
    showDigit(3, -1);
    showDigit(4, n);
  } else if (n < 100) {
    showDigit(2, -1);
    showDigit(3, n / 10);
    showDigit(4, n % 10);
  } else {
    showDigit(2, n / 100);
    showDigit(3, (n / 10) % 10);
    showDigit(4, n % 10);
  }
}

// Every change of the score in play: shown at once, and the extra life comes
// when the score shown during a game is exactly 300.
void Handheld::scored() {
  Trasforma_Score(state.Score);
  if (state.Score == 300 && state.GameRunning) StartChance();
}

void Handheld::TimerClockTimer() {
  setTimerInterval(TimerClock, 1000);
  const LocalTime now = time_.local();
  int h = now.hour;
  const int m = now.minute;
  if (h >= 12) {
    h -= 12;
    surface.show(Im_TimePM);
    surface.hide(Im_TimeAM);
  } else {
    surface.show(Im_TimeAM);
    surface.hide(Im_TimePM);
  }
  if (h == 0) {
    showDigit(1, 1);
    showDigit(2, 2);
  } else if (h <= 9) {
    showDigit(1, -1);
    showDigit(2, h);
  } else {
    showDigit(1, 1);
    showDigit(2, h - 10);
  }
  showDigit(3, m / 10);
  showDigit(4, m % 10);
}

void Handheld::ShowAlarmTime() {
  // The alarm is fixed at 12:00 PM; nothing sets it.
  surface.show(Im_TimePP);
  surface.show(Im_TimePM);
  surface.hide(Im_TimeAM);
  showDigit(1, 1);
  showDigit(2, 2);
  showDigit(3, 0);
  showDigit(4, 0);
}

}  // namespace cantiere
