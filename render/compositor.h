// SPDX-License-Identifier: GPL-3.0-or-later
// Composes the handheld window into a buffer: the one drawing used by the
// desktop window, the driver's snapshot and any other front end, so they
// agree to the pixel by construction. It draws in device pixels at any
// scale; the pictures must be those of the view's device scale.
#pragma once

#include "core/lcd/surface.h"
#include "render/front_end_types.h"
#include "render/image.h"
#include "render/picture_set.h"

namespace cantiere {

// The LCD's look with its effects on: every segment at its blend of the
// instant `now`, with shadow, ink and glass, scaled with the view. Without
// one, segments are the plain black pictures, switched at once.
struct LcdLook {
  const LcdResponse& response;
  Millis now;
};

// An element's rectangle in device pixels (at 1x, window pixels).
Rect elementRect(Element e, const ViewScale& view = {});
// The device rectangle an element may paint in: its own, or with the LCD
// effects on, an LCD segment's with its shadow.
Rect paintedRect(Element e, const ViewScale& view, bool lcdEffects);

struct Composition {
  const Surface& surface;
  const PictureSet& pictures;
  ViewScale view{};
  const LcdLook* look = nullptr;
  // Every pixel outside the outline of the case shown left fully
  // transparent, as a shaped window or a web page shows the case alone.
  bool transparentOutsideCase = false;
};

// Black background, then every shown element whose rectangle meets
// `region` (device pixels, as `target`'s), lowest first, each with the
// picture it holds now (none draws nothing), transparent ones leaving out
// their transparent colour. Draws nothing outside `region`; allocates
// nothing once every picture drawn has been drawn before.
void compose(Image& target, const Composition& c, const Rect& region);

// The client area as the window draws it: `width` x `height` catalogue
// pixels (464 wide, 300 high closed or 571 open), at the view's scale.
Image renderWindow(const Composition& c, int width, int height);

}  // namespace cantiere
