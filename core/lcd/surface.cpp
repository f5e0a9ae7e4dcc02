// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/lcd/surface.h"

namespace cantiere {

Surface::Surface() { reset(); }

void Surface::reset() {
  for (int i = 0; i < ElementCount; ++i) {
    const auto e = static_cast<Element>(i);
    const ElementInfo& in = info(e);
    lit_[i] = in.shownAtStart;
    const bool own = in.picture == PictureKind::Photo || in.picture == PictureKind::Bitmap;
    picture_[i] = own ? e : NoElement;
  }
}

}  // namespace cantiere
