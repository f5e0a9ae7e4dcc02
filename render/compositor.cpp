// SPDX-License-Identifier: GPL-3.0-or-later
#include "render/compositor.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "render/blend_rows.h"
#include "render/pixel_math.h"

namespace cantiere {
namespace {

int rightOf(const Rect& r) { return r.left + r.width; }
int bottomOf(const Rect& r) { return r.top + r.height; }

// The first LCD segment in stacking order: every shadow goes down just
// before it, since the liquid crystal lies above the printed backdrop.
Element firstLcd() {
  for (int i = 0; i < ElementCount; ++i)
    if (isLcd(static_cast<Element>(i))) return static_cast<Element>(i);
  return NoElement;
}

// The case photographs cover their whole element and hide everything under
// them: the background is not painted there (a full repaint at 4x would
// otherwise write every pixel twice).
void paintBackground(Image& target, const Composition& c, const Rect& clip) {
  Rect covered[2];
  int n = 0;
  for (Element e : {Im_Base, Im_Front}) {
    if (!c.surface.lit(e) || c.surface.picture(e) != e) continue;
    const Rect rect = elementRect(e, c.view);
    const Image* photo = c.pictures.picture(e, false);
    if (photo && photo->width == rect.width && photo->height == rect.height) covered[n++] = rect;
  }
  for (int y = clip.top; y < bottomOf(clip); ++y) {
    Pixel* line = target.row(y);
    // The row's uncovered runs, left to right.
    int x = clip.left;
    while (x < rightOf(clip)) {
      int end = rightOf(clip);
      bool skipped = false;
      for (int k = 0; k < n; ++k) {
        const Rect& r = covered[k];
        if (y < r.top || y >= bottomOf(r)) continue;
        if (x >= r.left && x < rightOf(r)) {
          x = rightOf(r);
          skipped = true;
          break;
        }
        if (r.left > x) end = std::min(end, r.left);
      }
      if (skipped) continue;
      std::fill(line + x, line + end, kOpaqueBlack);
      x = end;
    }
  }
}

// An opaque picture at its element's top left, never spilling outside it.
void paintOpaque(Image& target, const Image& picture, const Rect& rect, const Rect& clip) {
  const Rect r = intersected(intersected(rect, clip), {rect.left, rect.top, picture.width, picture.height});
  if (isEmpty(r)) return;
  if (r.width == target.width && r.width == picture.width) {
    // Whole rows of both (the case photograph, a full repaint): one copy,
    // which the C library streams past the cache when it is large.
    std::memcpy(target.row(r.top), picture.row(r.top - rect.top), sizeof(Pixel) * r.width * r.height);
    return;
  }
  for (int y = r.top; y < bottomOf(r); ++y)
    std::memcpy(target.row(y) + r.left, picture.row(y - rect.top) + (r.left - rect.left),
                sizeof(Pixel) * r.width);
}

// A layer with its top left at (left, top), within `bounds` and `clip`, its
// pixels first multiplied by `factor` (255: as they are).
void paintSprite(Image& target, const Sprite& s, int left, int top, const Rect& bounds,
                 const Rect& clip, unsigned factor) {
  const Rect r = intersected(intersected(bounds, clip), {left, top, s.width(), s.height()});
  for (int y = r.top; y < bottomOf(r); ++y) {
    const int sy = y - top;
    const Pixel* from = s.image().row(sy);
    Pixel* to = target.row(y);
    for (const Sprite::Run* run = s.begin(sy); run != s.end(sy); ++run) {
      const int x0 = std::max(left + run->left, r.left);
      const int x1 = std::min(left + run->left + run->length, rightOf(r));
      if (x1 <= x0) continue;
      const Pixel* source = from + (x0 - left);
      if (factor != 255) {
        overRowScaled(to + x0, source, x1 - x0, factor);
      } else if (run->opaque) {
        std::memcpy(to + x0, source, sizeof(Pixel) * (x1 - x0));
      } else {
        overRow(to + x0, source, x1 - x0);
      }
    }
  }
}

// The columns of row y a layer may change.
void extent(const Sprite& s, int y, int& from, int& to) {
  if (s.begin(y) == s.end(y)) return;
  from = std::min(from, s.begin(y)->left);
  to = std::max(to, (s.end(y) - 1)->left + (s.end(y) - 1)->length);
}

// Two layers of one colour, each at its level, pixel by pixel the darker;
// what both cover at least at the shared level. Both are of one size.
void paintSpritePair(Image& target, const Sprite& a, float la, const Sprite& b, float lb,
                     float shared, int left, int top, const Rect& clip) {
  auto weight = [](float level) { return static_cast<unsigned>(std::lround(level * 256)); };
  const unsigned wa = weight(la), wb = weight(lb), ws = weight(shared);
  const int y0 = std::max(top, clip.top), y1 = std::min(top + a.height(), bottomOf(clip));
  for (int y = y0; y < y1; ++y) {
    const int sy = y - top;
    int from = a.width(), to = 0;
    extent(a, sy, from, to);
    extent(b, sy, from, to);
    const int x0 = std::max(left + from, clip.left), x1 = std::min(left + to, rightOf(clip));
    if (x1 <= x0) continue;
    const Pixel* pa = a.image().row(sy) + (x0 - left);
    const Pixel* pb = b.image().row(sy) + (x0 - left);
    Pixel* out = target.row(y) + x0;
    for (int x = 0; x < x1 - x0; ++x) {
      Pixel p = 0;
      for (int shift = 0; shift < 32; shift += 8) {
        const unsigned ca = (pa[x] >> shift) & 0xFF, cb = (pb[x] >> shift) & 0xFF;
        p |= std::max({ca * wa >> 8, cb * wb >> 8, std::min(ca, cb) * ws >> 8}) << shift;
      }
      if (p) out[x] = over(p, out[x]);
    }
  }
}

enum class Layer { Shadow, Ink };

// One segment's shadow or ink as it stands at the look's instant.
void paintSegment(Image& target, const Composition& c, Element e, const Rect& rect, Layer layer,
                  const Rect& clip) {
  const SegmentBlend blend = c.look->response.blend(e, c.look->now);
  const bool keyedPicture = info(e).transparent;
  auto picture = [&](Element owner) -> const Image* {
    return owner == NoElement ? nullptr : c.pictures.picture(owner, keyedPicture);
  };
  const Image* now = blend.level > 0 ? picture(blend.picture) : nullptr;
  const Image* before = blend.leavingLevel > 0 ? picture(blend.leaving) : nullptr;
  if (!now && !before) return;
  LcdEffects& fx = c.pictures.effects();
  int left = rect.left, top = rect.top;
  auto sprite = [&](Element owner, const Image& image) -> const Sprite& {
    return layer == Layer::Ink ? fx.ink(owner, image, rect.width, rect.height)
                               : fx.shadow(owner, image, rect.width, rect.height);
  };
  if (layer == Layer::Shadow) left += fx.kernel().lo, top += fx.kernel().lo;
  if (now && before) {
    paintSpritePair(target, sprite(blend.picture, *now), blend.level, sprite(blend.leaving, *before),
                    blend.leavingLevel, blend.sharedLevel, left, top, clip);
  } else {
    const Sprite& s = now ? sprite(blend.picture, *now) : sprite(blend.leaving, *before);
    paintSprite(target, s, left, top, target.rect(), clip,
                opacityFactor(now ? blend.level : blend.leavingLevel));
  }
}

void paintShadows(Image& target, const Composition& c, const Rect& clip) {
  const ShadowKernel& k = c.pictures.effects().kernel();
  for (int i = 0; i < ElementCount; ++i) {
    const auto e = static_cast<Element>(i);
    if (!isLcd(e)) continue;
    const Rect rect = elementRect(e, c.view);
    if (intersects(segmentPaintRect(rect, k.lo, k.hi()), clip))
      paintSegment(target, c, e, rect, Layer::Shadow, clip);
  }
}

// The lit case element whose outline shapes the window, if any.
Element caseShown(const Surface& surface) {
  for (Element e : {Im_Front, Im_Base})
    if (surface.lit(e) && surface.picture(e) == e) return e;
  return NoElement;
}

}  // namespace

Rect elementRect(Element e, const ViewScale& view) { return view.toDevice(info(e).rect); }

Rect paintedRect(Element e, const ViewScale& view, bool lcdEffects) {
  if (!lcdEffects || !isLcd(e)) return elementRect(e, view);
  return segmentPaintRect(elementRect(e, view), view.deviceScale());
}

void compose(Image& target, const Composition& c, const Rect& region) {
  static const Element lowestLcd = firstLcd();
  const Rect clip = intersected(region, target.rect());
  if (isEmpty(clip)) return;
  paintBackground(target, c, clip);
  for (int i = 0; i < ElementCount; ++i) {
    const auto e = static_cast<Element>(i);
    if (c.look && isLcd(e)) {
      // A segment still fading is drawn though the model has it dark.
      if (e == lowestLcd) paintShadows(target, c, clip);
      const Rect rect = elementRect(e, c.view);
      if (intersects(rect, clip)) paintSegment(target, c, e, rect, Layer::Ink, clip);
      continue;
    }
    if (!c.surface.lit(e)) continue;
    const Rect rect = elementRect(e, c.view);
    if (!intersects(rect, clip)) continue;
    if (c.look && info(e).group == Group::ScreenOverlay)
      paintSprite(target, c.pictures.effects().glass(rect.width, rect.height), rect.left, rect.top,
                  rect, clip, 255);
    const Element owner = c.surface.picture(e);
    if (owner == NoElement) continue;
    if (!info(e).transparent) {
      if (const Image* picture = c.pictures.picture(owner, false)) paintOpaque(target, *picture, rect, clip);
    } else if (const Sprite* picture = c.pictures.keyedSprite(owner)) {
      paintSprite(target, *picture, rect.left, rect.top, rect, clip, 255);
    }
  }
  if (!c.transparentOutsideCase) return;
  const Element shell = caseShown(c.surface);
  if (shell == NoElement) return;
  const CaseOutline& outline = c.pictures.outline(shell);
  const Rect at = elementRect(shell, c.view);
  if (!outline.empty()) clearOutside(target, outline, at.left, at.top, clip);
}

Image renderWindow(const Composition& c, int width, int height) {
  Image image(c.view.toDevice(width), c.view.toDevice(height), kOpaqueBlack);
  compose(image, c, image.rect());
  return image;
}

}  // namespace cantiere
