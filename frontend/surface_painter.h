// Draws the handheld window's elements: the one drawing used by the desktop
// window and by the driver's snapshot, so the two cannot disagree.
#pragma once

#include <QImage>
#include <QPainter>
#include <QRect>

#include "frontend/picture_set.h"
#include "core/lcd/surface.h"

namespace cantiere {

// An element's rectangle in window pixels.
QRect elementRect(Element e);

// Black background, then every shown element whose rectangle meets
// `region`, lowest first, each with the picture it holds now (none draws
// nothing), transparent ones leaving out their transparent colour. Draws
// nothing outside `region`.
void paintSurface(QPainter& painter, const Surface& surface, const PictureSet& pictures,
                  const QRect& region);

// The client area as the window draws it: 464 wide, 300 high closed or 571
// open.
QImage renderWindow(const Surface& surface, const PictureSet& pictures, int width, int height);

}  // namespace cantiere
