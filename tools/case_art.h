// SPDX-License-Identifier: GPL-3.0-or-later
// Drawing of the handheld's case for make_case_pictures: the open handheld,
// the closed lid and the parts they share.
#pragma once

#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include "core/lcd/catalogue.h"

namespace cantiere::art {

// An element's rectangle in window pixels.
QRectF rectOf(Element e);

// The open handheld without any LCD segment: lid, hinge, base, both screens
// with their printed scenery, labels, the cross pad and the buttons, which
// are drawn raised or pressed (the case picture carries the pressed look; the
// button pictures are cut from the raised one, so they match to the pixel).
// Drawn `scale` device pixels to the catalogue pixel.
QImage openCase(bool buttonsRaised, int scale = 1);

// The closed handheld seen from above, 464 x 300 times `scale`.
QImage closedCase(int scale = 1);

// Outline of the open handheld (lid, hinge and base), for cut-outs.
QPainterPath openOutline();

// The printed scenery and the glass of one screen, clipped to the screen.
void drawScreen(QPainter& p, bool upper);

}  // namespace cantiere::art
