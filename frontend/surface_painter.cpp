// SPDX-License-Identifier: GPL-3.0-or-later
#include "frontend/surface_painter.h"

#include "frontend/lcd_effects.h"

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

// The first LCD segment in stacking order: every shadow goes down just
// before it, since the liquid crystal lies above the printed backdrop.
Element firstLcd() {
  for (int i = 0; i < ElementCount; ++i)
    if (isLcd(static_cast<Element>(i))) return static_cast<Element>(i);
  return NoElement;
}

SegmentLayers layersOf(Element e, const PictureSet& pictures, const LcdLook& look) {
  const SegmentBlend b = look.response.blend(e, look.now);
  const bool keyed = info(e).transparent;
  auto image = [&](Element owner) -> const QImage* {
    if (owner == NoElement) return nullptr;
    const QImage& i = pictures.picture(owner, keyed);
    return i.isNull() ? nullptr : &i;
  };
  return {image(b.picture), b.level, image(b.leaving), b.leavingLevel, b.sharedLevel};
}

void paintShadows(QPainter& painter, const PictureSet& pictures, const QRect& region,
                  const ViewScale& view, const LcdLook& look) {
  for (int i = 0; i < ElementCount; ++i) {
    const auto e = static_cast<Element>(i);
    if (!isLcd(e) || !paintedRect(e, view, true).intersects(region)) continue;
    drawSegmentShadow(painter, elementRect(e, view), layersOf(e, pictures, look),
                      view.deviceScale());
  }
}

}  // namespace

QRect toQRect(const Rect& r) { return {r.left, r.top, r.width, r.height}; }
Rect fromQRect(const QRect& r) { return {r.x(), r.y(), r.width(), r.height()}; }

QRect elementRect(Element e, const ViewScale& view) { return toQRect(view.toDevice(info(e).rect)); }

QRect paintedRect(Element e, const ViewScale& view, bool lcdEffects) {
  if (!lcdEffects || !isLcd(e)) return elementRect(e, view);
  return segmentPaintRect(elementRect(e, view), view.deviceScale());
}

void paintElement(QPainter& painter, Element, const QImage& picture, const QRect& target) {
  const QRect source = QRect(QPoint(0, 0), target.size()).intersected(picture.rect());
  painter.drawImage(target.topLeft(), picture, source);
}

void paintSurface(QPainter& painter, const Surface& surface, const PictureSet& pictures,
                  const QRect& region, const ViewScale& view, const LcdLook* look) {
  static const Element lowestLcd = firstLcd();
  painter.save();
  painter.setClipRect(region, Qt::IntersectClip);
  painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
  for (const QRect& r : background(surface, pictures, region, view)) painter.fillRect(r, Qt::black);
  for (int i = 0; i < ElementCount; ++i) {
    const auto e = static_cast<Element>(i);
    if (look && isLcd(e)) {
      // A segment still fading is drawn though the model has it dark.
      if (e == lowestLcd) paintShadows(painter, pictures, region, view, *look);
      const QRect rect = elementRect(e, view);
      if (rect.intersects(region))
        drawSegmentInk(painter, rect, layersOf(e, pictures, *look), view.deviceScale());
      continue;
    }
    if (!surface.lit(e)) continue;
    const QRect rect = elementRect(e, view);
    if (!rect.intersects(region)) continue;
    if (look && info(e).group == Group::ScreenOverlay) drawGlass(painter, rect, view.deviceScale());
    const Element owner = surface.picture(e);
    if (owner == NoElement) continue;
    const QImage& image = pictures.picture(owner, info(e).transparent);
    if (image.isNull()) continue;
    paintElement(painter, e, image, rect);
  }
  painter.restore();
}

QImage renderWindow(const Surface& surface, const PictureSet& pictures, int width, int height,
                    const ViewScale& view, const LcdLook* look) {
  QImage image(view.toDevice(width), view.toDevice(height), QImage::Format_RGB32);
  image.fill(Qt::black);
  QPainter painter(&image);
  paintSurface(painter, surface, pictures, image.rect(), view, look);
  painter.end();
  return image;
}

}  // namespace cantiere
