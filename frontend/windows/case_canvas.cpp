// SPDX-License-Identifier: GPL-3.0-or-later
#include "frontend/windows/case_canvas.h"

#include <QPainter>

namespace cantiere {

CaseCanvas::CaseCanvas(const PictureSet& pictures) : pictures_(pictures), drawn_(&pictures) {}

void CaseCanvas::setView(const ViewScale& view) {
  const double scale = view.deviceScale();
  if (scale == pictures_.scale()) {
    drawn_ = &pictures_;
    scaledPictures_ = PictureSet();
  } else if (drawn_ != &scaledPictures_ || scaledPictures_.scale() != scale) {
    scaledPictures_ = pictures_.atScale(scale);
    drawn_ = &scaledPictures_;
  }
  view_ = view;
}

QRect CaseCanvas::windowRect(Element e, bool lcdEffects) const {
  return toQRect(view_.deviceToWindow(paintedRect(e, view_, lcdEffects)));
}

const QRegion& CaseCanvas::outline(int height) {
  const bool open = height == info(Im_Base).rect.height;
  Outline& shape = open ? open_ : closed_;
  if (shape.scale != view_.deviceScale()) {
    // The case's own pixels at the device scale; on a denser screen each
    // window pixel the case touches.
    shape.scale = view_.deviceScale();
    shape.region = QRegion();
    const Element e = open ? Im_Base : Im_Front;
    const Rect at = elementRect(e, view_);
    for (const Rect& r : drawn_->outline(e).rectangles())
      shape.region += toQRect(view_.deviceToWindow(translated(r, at.left, at.top)));
  }
  return shape.region;
}

void CaseCanvas::paint(QPainter& painter, const QRegion& region, const Surface& surface,
                       const LcdLook* look, int width, int height, int top, const QRegion& shape) {
  const int w = view_.toDevice(width), h = view_.toDevice(height);
  if (buffer_.width != w || buffer_.height != h) {
    buffer_ = Image(w, h);
    bufferImage_ = wrapped(buffer_);
  }
  const Composition composition{surface, *drawn_, view_, look, true};
  // The buffer replaces what was there.
  painter.setCompositionMode(QPainter::CompositionMode_Source);
  const QRect covered(0, top, static_cast<int>(w / view_.ratio()), static_cast<int>(h / view_.ratio()));
  if (!covered.contains(region.boundingRect()))
    for (const QRect& r : region - covered) painter.fillRect(r, Qt::transparent);
  if (!shape.isEmpty()) painter.setClipRegion(shape);
  // Drawn in device pixels.
  if (top) painter.translate(0, top);
  if (view_.ratio() != 1.0) painter.scale(1 / view_.ratio(), 1 / view_.ratio());
  for (const QRect& r : region) {
    const Rect dirty = intersected(view_.windowToDevice(fromQRect(r.translated(0, -top))), buffer_.rect());
    if (isEmpty(dirty)) continue;
    compose(buffer_, composition, dirty);
    painter.drawImage(QPoint(dirty.left, dirty.top), bufferImage_, toQRect(dirty));
  }
}

}  // namespace cantiere
