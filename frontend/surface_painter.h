// SPDX-License-Identifier: GPL-3.0-or-later
// Draws the handheld window's elements: the one drawing used by the desktop
// window and by the driver's snapshot, so the two cannot disagree. It draws
// in device pixels at any scale; the pictures must be those of the view's
// device scale.
#pragma once

#include <QImage>
#include <QPainter>
#include <QRect>

#include "core/lcd/surface.h"
#include "common/lcd/lcd_response.h"
#include "frontend/picture_set.h"
#include "common/view/view_scale.h"

namespace cantiere {

QRect toQRect(const Rect& r);
Rect fromQRect(const QRect& r);

// An element's rectangle in device pixels (at 1x, window pixels).
QRect elementRect(Element e, const ViewScale& view = {});

// The LCD's look with its effects on: every segment at its blend of the
// instant `now`, with shadow, ink and glass, scaled with the view. Without
// one, segments are the plain black pictures, switched at once.
struct LcdLook {
  const LcdResponse& response;
  Millis now;
};

// The device rectangle an element may paint in: its own, or with the LCD
// effects on, an LCD segment's with its shadow.
QRect paintedRect(Element e, const ViewScale& view, bool lcdEffects);

// Black background, then every shown element whose rectangle meets
// `region` (device pixels), lowest first, each with the picture it holds now
// (none draws nothing), transparent ones leaving out their transparent
// colour. Draws nothing outside `region`.
void paintSurface(QPainter& painter, const Surface& surface, const PictureSet& pictures,
                  const QRect& region, const ViewScale& view = {},
                  const LcdLook* look = nullptr);

// How one shown element looks: its picture at the top-left corner of its
// device rectangle, never spilling outside it. Every element is drawn here
// and nowhere else, but for LCD segments with the effects on (lcd_effects).
void paintElement(QPainter& painter, Element e, const QImage& picture, const QRect& target);

// The client area as the window draws it: `width` x `height` catalogue
// pixels (464 wide, 300 high closed or 571 open), at the view's scale.
QImage renderWindow(const Surface& surface, const PictureSet& pictures, int width, int height,
                    const ViewScale& view = {}, const LcdLook* look = nullptr);

}  // namespace cantiere
