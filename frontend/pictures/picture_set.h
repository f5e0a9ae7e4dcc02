// SPDX-License-Identifier: GPL-3.0-or-later
// The renderer's pictures in the desktop's terms: the built-in set, the
// photographs that are no element's (the launcher's slides, the about
// window's picture), the icon, and the renderer's buffers as QImages.
#pragma once

#include <QIcon>
#include <QImage>
#include <QRect>
#include <QString>

#include "render/art_files.h"
#include "render/picture_set.h"

namespace cantiere {

// A built-in photograph that is no element's: pictures/<name>.jpg, or at a
// device scale above 1 from the nearest art, resampled where that is not
// exact, carrying the scale as its device pixel ratio.
QImage builtInPhoto(const QString& name, QString* error = nullptr, double deviceScale = 1.0);

// The application's icon at every size it is made in (16 to 256 pixels),
// so a window's icon is drawn from art of its own size on any screen.
QIcon builtInIcon();

// A QImage over the buffer's own pixels (no copy), valid while the buffer
// keeps its size.
QImage wrapped(Image& image);
// Copies, between the renderer's premultiplied pixels and a QImage (an
// `opaque` one as RGB32, the same words).
QImage toQImage(const Image& image, bool opaque = false);
Image toImage(const QImage& image);

inline QRect toQRect(const Rect& r) { return {r.left, r.top, r.width, r.height}; }
inline Rect fromQRect(const QRect& r) { return {r.x(), r.y(), r.width(), r.height()}; }

}  // namespace cantiere
