// SPDX-License-Identifier: GPL-3.0-or-later
// Every element's own picture, decoded once into QImages ready to draw, at
// one device scale (device pixels per catalogue pixel).
#pragma once

#include <QIcon>
#include <QImage>
#include <QString>
#include <QStringList>

#include <array>

#include "core/lcd/catalogue.h"

namespace cantiere {

class PictureSet {
 public:
  // The pictures built into the program (resource root ":/").
  static PictureSet builtIn(double deviceScale = 1.0);
  // The same layout read from a folder: at 1x <root>/lcd/<name>.pbm for the
  // LCD bitmaps and <root>/pictures/<name>.jpg for the photographs; at 2x to
  // 4x <root>/lcd/<n>x/<name>.png (8-bit masks, black figure on white) and
  // <root>/pictures/<n>x/<name>.jpg. A device scale between the art's is
  // drawn from the nearest art, resampled; a picture missing at its scale
  // is resampled from the 1x one and reported.
  static PictureSet load(const QString& root, double deviceScale = 1.0);

  // Device pixels per catalogue pixel; a picture of a w x h element is
  // round(w * scale) x round(h * scale).
  double scale() const { return scale_; }
  // These pictures at another device scale: read again from their folder,
  // or, for a set without one, resampled from this one.
  PictureSet atScale(double deviceScale) const;

  // Owner's picture as an element that is not transparent draws it, or as a
  // transparent one does (every pixel of the bottom-left pixel's colour left
  // out; on an anti-aliased mask, the tones between the figure's and the
  // transparent colour are partly transparent). Null when `owner` has no
  // picture or it could not be loaded.
  const QImage& picture(Element owner, bool transparent) const;

  // One line per picture that is missing, broken or of the wrong size; those
  // draw nothing (wrong-size ones still draw, clipped to their element).
  const QStringList& problems() const { return problems_; }

  // Puts a picture in place of `owner`'s own (tests, tools), at this set's
  // scale.
  void setPicture(Element owner, const QImage& image);

  // The colour of the bottom-left pixel made fully transparent.
  static QImage keyed(const QImage& image);
  // The size a picture of `catalogueSize` pixels has at a device scale.
  static int scaledLength(int catalogueLength, double deviceScale);

 private:
  // Built when first asked for: most owners are drawn one way only.
  mutable std::array<QImage, ElementCount> opaque_;
  mutable std::array<QImage, ElementCount> keyed_;
  QStringList problems_;
  QString root_;
  double scale_ = 1.0;
};

// A photograph built into the program that is not an element's own (the
// launcher's slides, the about window's picture): ":/pictures/<name>.jpg",
// or at a device scale above 1 from the nearest art, resampled where that is
// not exact, carrying the scale as its device pixel ratio.
QImage builtInPhoto(const QString& name, QString* error = nullptr, double deviceScale = 1.0);

// The application's icon at every size it is made in (16 to 256 pixels),
// so a window's icon is drawn from art of its own size on any screen.
QIcon builtInIcon();

}  // namespace cantiere
