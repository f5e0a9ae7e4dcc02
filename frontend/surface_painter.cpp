#include "frontend/surface_painter.h"

namespace cantiere {

QRect elementRect(Element e) {
  const Rect& r = info(e).rect;
  return {r.left, r.top, r.width, r.height};
}

void paintSurface(QPainter& painter, const Surface& surface, const PictureSet& pictures,
                  const QRect& region) {
  painter.save();
  painter.setClipRect(region, Qt::IntersectClip);
  painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
  painter.fillRect(region, Qt::black);
  for (int i = 0; i < ElementCount; ++i) {
    const auto e = static_cast<Element>(i);
    if (!surface.lit(e)) continue;
    const QRect rect = elementRect(e);
    if (!rect.intersects(region)) continue;
    const Element owner = surface.picture(e);
    if (owner == NoElement) continue;
    const QImage& image = pictures.picture(owner, info(e).transparent);
    if (image.isNull()) continue;
    // A picture sits at its element's top-left corner at its own size and
    // never spills outside the element.
    const QRect source = QRect(0, 0, rect.width(), rect.height()).intersected(image.rect());
    painter.drawImage(rect.topLeft(), image, source);
  }
  painter.restore();
}

QImage renderWindow(const Surface& surface, const PictureSet& pictures, int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(Qt::black);
  QPainter painter(&image);
  paintSurface(painter, surface, pictures, image.rect());
  painter.end();
  return image;
}

}  // namespace cantiere
