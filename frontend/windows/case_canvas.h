// SPDX-License-Identifier: GPL-3.0-or-later
// What the handheld window shows, in its device pixels: the renderer's
// buffer of the client area at the view's scale, composed again only where
// dirty and copied to the screen from there, and the case's outline (the
// window's shape), read from the case's picture at that scale so its
// corners are as smooth as the picture at any size.
#pragma once

#include <QImage>
#include <QRegion>

#include "frontend/pictures/picture_set.h"
#include "render/compositor.h"

class QPainter;

namespace cantiere {

class CaseCanvas {
 public:
  // `pictures` are the 1x ones, shared; other scales are made from them.
  explicit CaseCanvas(const PictureSet& pictures);

  const ViewScale& view() const { return view_; }
  void setView(const ViewScale& view);
  const PictureSet& pictures() const { return *drawn_; }
  // What was last composed: the client area, transparent outside the case.
  const Image& buffer() const { return buffer_; }

  // An element's rectangle in window pixels, covering its device pixels,
  // with its shadow when `lcdEffects` and it is an LCD segment.
  QRect windowRect(Element e, bool lcdEffects = false) const;
  // The case's outline for a window of this height (the closed or the open
  // case), in window pixels, read once per scale.
  const QRegion& outline(int height);

  // Paints `region` (window pixels) of a client area `width` x `height`
  // catalogue pixels whose top lies `top` window pixels down, clipped to
  // `shape` (none: unclipped). Outside the client area it paints
  // transparent, so the shape and the alpha agree and no half-transparent
  // pixel shows without a compositor.
  void paint(QPainter& painter, const QRegion& region, const Surface& surface,
             const LcdLook* look, int width, int height, int top, const QRegion& shape);

 private:
  const PictureSet& pictures_;
  ViewScale view_;
  PictureSet scaledPictures_;
  const PictureSet* drawn_;
  Image buffer_;
  QImage bufferImage_;  // the same pixels, as the painter takes them
  struct Outline {
    double scale = 0;
    QRegion region;
  };
  Outline closed_, open_;
};

}  // namespace cantiere
