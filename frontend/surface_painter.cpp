#include "frontend/surface_painter.h"

namespace cantiere {
namespace {

// The case photographs cover their whole element and hide everything under
// them: the background need not be painted there (a full repaint at 4x
// would otherwise write every pixel twice).
QRegion background(const Surface& surface, const PictureSet& pictures, const QRect& region,
                   const ViewScale& view) {
  QRegion black(region);
  for (Element e : {Im_Base, Im_Front}) {
    if (!surface.lit(e) || surface.picture(e) != e) continue;
    const QRect rect = elementRect(e, view);
    if (pictures.picture(e, false).size() == rect.size()) black -= rect;
  }
  return black;
}

}  // namespace

QRect toQRect(const Rect& r) { return {r.left, r.top, r.width, r.height}; }
Rect fromQRect(const QRect& r) { return {r.x(), r.y(), r.width(), r.height()}; }

QRect elementRect(Element e, const ViewScale& view) { return toQRect(view.toDevice(info(e).rect)); }

void paintElement(QPainter& painter, Element, const QImage& picture, const QRect& target) {
  const QRect source = QRect(QPoint(0, 0), target.size()).intersected(picture.rect());
  painter.drawImage(target.topLeft(), picture, source);
}

void paintSurface(QPainter& painter, const Surface& surface, const PictureSet& pictures,
                  const QRect& region, const ViewScale& view) {
  painter.save();
  painter.setClipRect(region, Qt::IntersectClip);
  painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
  for (const QRect& r : background(surface, pictures, region, view)) painter.fillRect(r, Qt::black);
  for (int i = 0; i < ElementCount; ++i) {
    const auto e = static_cast<Element>(i);
    if (!surface.lit(e)) continue;
    const QRect rect = elementRect(e, view);
    if (!rect.intersects(region)) continue;
    const Element owner = surface.picture(e);
    if (owner == NoElement) continue;
    const QImage& image = pictures.picture(owner, info(e).transparent);
    if (image.isNull()) continue;
    paintElement(painter, e, image, rect);
  }
  painter.restore();
}

QImage renderWindow(const Surface& surface, const PictureSet& pictures, int width, int height,
                    const ViewScale& view) {
  QImage image(view.toDevice(width), view.toDevice(height), QImage::Format_RGB32);
  image.fill(Qt::black);
  QPainter painter(&image);
  paintSurface(painter, surface, pictures, image.rect(), view);
  painter.end();
  return image;
}

}  // namespace cantiere
