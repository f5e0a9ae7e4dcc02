// Every element's own picture, decoded once into QImages ready to draw.
#pragma once

#include <QImage>
#include <QString>
#include <QStringList>

#include <array>

#include "core/lcd/catalogue.h"

namespace cantiere {

class PictureSet {
 public:
  // The pictures built into the program (resource root ":/").
  static PictureSet builtIn();
  // The same layout read from a folder: <root>/lcd/<name>.pbm for the LCD
  // bitmaps, <root>/pictures/<name>.jpg for the photographs.
  static PictureSet load(const QString& root);

  // Owner's picture as an element that is not transparent draws it, or as a
  // transparent one does (every pixel of the bottom-left pixel's colour left
  // out). Null when `owner` has no picture or it could not be loaded.
  const QImage& picture(Element owner, bool transparent) const;

  // One line per picture that is missing, broken or of the wrong size; those
  // draw nothing (wrong-size ones still draw, clipped to their element).
  const QStringList& problems() const { return problems_; }

  // Puts a picture in place of `owner`'s own (tests, tools).
  void setPicture(Element owner, const QImage& image);

  // The colour of the bottom-left pixel made fully transparent.
  static QImage keyed(const QImage& image);

 private:
  std::array<QImage, ElementCount> opaque_;
  std::array<QImage, ElementCount> keyed_;
  QStringList problems_;
};

// A photograph built into the program that is not an element's own (the
// launcher's slides, the about window's picture): ":/pictures/<name>.jpg".
QImage builtInPhoto(const QString& name, QString* error = nullptr);

}  // namespace cantiere
