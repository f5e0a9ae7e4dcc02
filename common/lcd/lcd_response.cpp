// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/lcd/lcd_response.h"

#include <algorithm>

namespace cantiere {
namespace {

// Quick at first, slow as it settles: 1 - (1 - u)^2.
float easeOut(Millis dt, Millis duration) {
  const float rest = 1.0f - static_cast<float>(dt) / static_cast<float>(duration);
  return 1.0f - rest * rest;
}

}  // namespace

LcdResponse::LcdResponse(const Surface& surface) {
  for (int i = 0; i < ElementCount; ++i) {
    const auto e = static_cast<Element>(i);
    Cell& c = cells_[e];
    c.lit = surface.lit(e);
    c.picture = surface.picture(e);
    c.from = c.lit ? 1.0f : 0.0f;
  }
}

float LcdResponse::darkened(float from, Millis dt) {
  if (dt >= kDarken) return 1.0f;
  if (dt <= 0) return from;
  return from + (1.0f - from) * easeOut(dt, kDarken);
}

float LcdResponse::faded(float from, Millis dt) {
  if (dt >= kFade) return 0.0f;
  if (dt <= 0) return from;
  return from * (1.0f - easeOut(dt, kFade));
}

float LcdResponse::level(const Cell& c, Millis now) const {
  return c.lit ? darkened(c.from, now - c.since) : faded(c.from, now - c.since);
}

void LcdResponse::settleAt(Cell& c, Millis at) {
  // A change that leaves the level where it was (lit and darkened again
  // within the same millisecond) starts no transition.
  const bool moves = c.lit ? c.from < 1.0f : c.from > 0.0f;
  c.settlesAt = moves ? at + (c.lit ? kDarken : kFade) : at;
  if (c.leaving != NoElement) c.settlesAt = std::max(c.settlesAt, c.leavingSince + kFade);
  settledAt_ = std::max(settledAt_, c.settlesAt);
}

void LcdResponse::litChanged(Element e, bool lit, Millis at) {
  Cell& c = cells_[e];
  if (!isLcd(e)) {
    c.lit = lit;
    return;
  }
  c.from = level(c, at);
  c.lit = lit;
  c.since = at;
  settleAt(c, at);
}

void LcdResponse::pictureChanged(Element e, Element picture, Millis at) {
  Cell& c = cells_[e];
  if (!isLcd(e)) {
    c.picture = picture;
    return;
  }
  const float shown = level(c, at);
  // The old picture fades from wherever it had got to; a position that
  // showed nothing keeps fading whatever it showed before.
  if (c.picture != NoElement && shown > 0.0f) {
    c.leaving = c.picture;
    c.leavingSince = at;
    c.leavingFrom = shown;
  }
  c.picture = picture;
  c.since = at;
  c.from = 0.0f;
  settleAt(c, at);
}

SegmentBlend LcdResponse::blend(Element e, Millis now) const {
  const Cell& c = cells_[e];
  SegmentBlend b;
  b.picture = c.picture;
  if (!isLcd(e)) {
    b.level = c.lit ? 1.0f : 0.0f;
    return b;
  }
  b.level = level(c, now);
  if (c.leaving != NoElement) {
    const float l = faded(c.leavingFrom, now - c.leavingSince);
    if (l > 0.0f) {
      b.leaving = c.leaving;
      b.leavingLevel = l;
      // Darkened since, unless it has gone dark: then it fades with the rest.
      b.sharedLevel = c.lit ? darkened(c.leavingFrom, now - c.leavingSince)
                            : std::max(b.level, b.leavingLevel);
    }
  }
  return b;
}

}  // namespace cantiere
