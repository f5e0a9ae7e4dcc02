// SPDX-License-Identifier: GPL-3.0-or-later
#include "frontend/pictures/picture_set.h"

#include <cstring>
#include <string>

#include "common/view/view_scale.h"
#include "render/builtin_files.h"
#include "render/png_reader.h"
#include "render/resample.h"

namespace cantiere {

QImage builtInPhoto(const QString& name, QString* error, double deviceScale) {
  const std::shared_ptr<const ArtSource> source = builtInArt();
  int art = ViewScale::artScaleFor(deviceScale);
  std::string why;
  Art photo = source->read(photoPath(name.toStdString(), art), why);
  if (photo.empty() && art > 1) photo = source->read(photoPath(name.toStdString(), art = 1), why);
  if (photo.empty() || photo.isMask()) {
    if (error) *error = QString::fromStdString(why);
    return {};
  }
  if (deviceScale == 1.0) return toQImage(photo.colour, true);
  const int w = PictureSet::scaledLength(photo.colour.width / art, deviceScale);
  const int h = PictureSet::scaledLength(photo.colour.height / art, deviceScale);
  QImage image = toQImage(resampled(photo.colour, w, h, true), true);
  image.setDevicePixelRatio(deviceScale);
  return image;
}

QIcon builtInIcon() {
  // Decoded here rather than by QImage: a format named to QImage still
  // loads every image plugin installed to ask whether it reads it, and the
  // launcher waits for that.
  QIcon icon;
  for (int size : {16, 24, 32, 48, 64, 128, 256}) {
    const FileBytes png = builtInFile("icons/hicolor/" + std::to_string(size) + "x" +
                                      std::to_string(size) + "/apps/cantiere.png");
    if (!png.found()) continue;
    std::string why;
    const Art art = readPng(png.data, png.size, why);
    if (!art.colour.empty()) icon.addPixmap(QPixmap::fromImage(toQImage(art.colour)));
  }
  return icon;
}

QImage wrapped(Image& image) {
  return QImage(reinterpret_cast<uchar*>(image.pixels.data()), image.width, image.height,
                image.width * 4, QImage::Format_ARGB32_Premultiplied);
}

QImage toQImage(const Image& image, bool opaque) {
  QImage out(image.width, image.height,
             opaque ? QImage::Format_RGB32 : QImage::Format_ARGB32_Premultiplied);
  for (int y = 0; y < image.height; ++y)
    std::memcpy(out.scanLine(y), image.row(y), sizeof(Pixel) * image.width);
  return out;
}

Image toImage(const QImage& image) {
  const QImage in = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
  Image out(in.width(), in.height());
  for (int y = 0; y < out.height; ++y)
    std::memcpy(out.row(y), in.constScanLine(y), sizeof(Pixel) * out.width);
  return out;
}

}  // namespace cantiere
