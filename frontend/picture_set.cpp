// SPDX-License-Identifier: GPL-3.0-or-later
#include "frontend/picture_set.h"

#include <QFile>
#include <QPainter>

#include <cmath>

#include "frontend/jpeg_decode.h"
#include "common/view/view_scale.h"

namespace cantiere {
namespace {

QString pathOf(const QString& root, Element e, int art) {
  const ElementInfo& in = info(e);
  const bool photo = in.picture == PictureKind::Photo;
  const QString folder = QLatin1String(photo ? "/pictures/" : "/lcd/") +
                         (art > 1 ? QStringLiteral("%1x/").arg(art) : QString());
  const char* suffix = photo ? ".jpg" : art > 1 ? ".png" : ".pbm";
  return root + folder + QString::fromLatin1(in.name) + QLatin1String(suffix);
}

// A photograph as RGB32; an LCD picture as RGB32 (a 1x PBM) or as an 8-bit
// grey mask (the larger art, anti-aliased).
QImage read(const QString& path, bool photo, QString* error) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    *error = QStringLiteral("cannot open %1").arg(path);
    return {};
  }
  const QByteArray data = file.readAll();
  if (photo) {
    QImage image = decodeJpeg(data, error);
    if (image.isNull()) *error = path + QStringLiteral(": ") + *error;
    return image;
  }
  const bool pbm = path.endsWith(QLatin1String(".pbm"));
  QImage image;
  if (!image.loadFromData(data, pbm ? "PBM" : "PNG")) {
    *error = QStringLiteral("%1: not a readable %2").arg(path, QLatin1String(pbm ? "PBM" : "PNG"));
    return {};
  }
  return image.convertToFormat(pbm ? QImage::Format_RGB32 : QImage::Format_Grayscale8);
}

// An anti-aliased mask over its transparent tone (the bottom-left pixel's):
// the farther a pixel's tone from it, the more opaque, in the other tone. A
// mask whose transparent tone is neither black nor white keys it exactly.
QImage maskKeyed(const QImage& mask) {
  const int key = qGray(mask.pixel(0, mask.height() - 1));
  if (key != 0 && key != 255) return PictureSet::keyed(mask);
  QImage out(mask.size(), QImage::Format_ARGB32_Premultiplied);
  for (int y = 0; y < mask.height(); ++y) {
    const uchar* in = mask.constScanLine(y);
    auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
    for (int x = 0; x < mask.width(); ++x) {
      const uint a = key == 255 ? 255u - in[x] : in[x];
      const uint ink = key == 255 ? 0u : a;  // premultiplied black or white
      line[x] = a << 24 | ink << 16 | ink << 8 | ink;
    }
  }
  return out;
}

QImage resampled(const QImage& image, QSize size) {
  if (image.isNull() || image.size() == size) return image;
  return image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

QSize sizeAt(Element e, double scale) {
  const Rect& r = info(e).rect;
  return {PictureSet::scaledLength(r.width, scale), PictureSet::scaledLength(r.height, scale)};
}

}  // namespace

int PictureSet::scaledLength(int catalogueLength, double deviceScale) {
  return static_cast<int>(std::floor(catalogueLength * deviceScale + 0.5));
}

PictureSet PictureSet::load(const QString& root, double deviceScale) {
  PictureSet set;
  set.root_ = root;
  set.scale_ = deviceScale;
  const int art = ViewScale::artScaleFor(deviceScale);
  for (int i = 0; i < ElementCount; ++i) {
    const auto e = static_cast<Element>(i);
    const ElementInfo& in = info(e);
    if (in.picture != PictureKind::Photo && in.picture != PictureKind::Bitmap) continue;
    const bool photo = in.picture == PictureKind::Photo;
    QString error;
    int made = art;
    QImage image = read(pathOf(root, e, art), photo, &error);
    if (image.isNull() && art > 1) {
      // The larger art is a nicety: the 1x picture enlarged still plays.
      set.problems_ << QStringLiteral("%1: %2").arg(QLatin1String(in.name), error);
      made = 1;
      image = read(pathOf(root, e, 1), photo, &error);
    }
    if (image.isNull()) {
      set.problems_ << QStringLiteral("%1: %2").arg(QLatin1String(in.name), error);
      continue;
    }
    const QSize expected = sizeAt(e, made);
    if (image.size() != expected)
      set.problems_ << QStringLiteral("%1: picture is %2x%3, the element %4x%5 at %6x")
                           .arg(QLatin1String(in.name))
                           .arg(image.width())
                           .arg(image.height())
                           .arg(expected.width())
                           .arg(expected.height())
                           .arg(made);
    if (deviceScale == 1.0 && made == 1) {
      set.setPicture(e, image);  // exactly as drawn since the first version
      continue;
    }
    // A wrong-size picture keeps its proportion to the element's.
    const QSize target(scaledLength(image.width(), deviceScale / made),
                       scaledLength(image.height(), deviceScale / made));
    if (photo) {
      set.opaque_[e] = resampled(image, target);  // its keyed look when first asked for
    } else if (image.format() == QImage::Format_Grayscale8) {
      set.opaque_[e] = resampled(image.convertToFormat(QImage::Format_RGB32), target);
      set.keyed_[e] = resampled(maskKeyed(image), target);
    } else {
      set.opaque_[e] = resampled(image, target);
      set.keyed_[e] = resampled(keyed(image), target);
    }
  }
  return set;
}

PictureSet PictureSet::atScale(double deviceScale) const {
  if (!root_.isEmpty()) return load(root_, deviceScale);
  PictureSet set;
  set.scale_ = deviceScale;
  set.problems_ = problems_;
  for (int i = 0; i < ElementCount; ++i) {
    const auto e = static_cast<Element>(i);
    const QSize target(scaledLength(opaque_[e].width(), deviceScale / scale_),
                       scaledLength(opaque_[e].height(), deviceScale / scale_));
    set.opaque_[e] = resampled(opaque_[e], target);
    set.keyed_[e] = resampled(keyed_[e], target);
  }
  return set;
}

const QImage& PictureSet::picture(Element owner, bool transparent) const {
  static const QImage none;
  if (owner >= ElementCount) return none;
  if (transparent && keyed_[owner].isNull() && !opaque_[owner].isNull())
    keyed_[owner] = keyed(opaque_[owner]);
  return transparent ? keyed_[owner] : opaque_[owner];
}

void PictureSet::setPicture(Element owner, const QImage& image) {
  if (owner >= ElementCount) return;
  const bool mask = image.format() == QImage::Format_Grayscale8;
  opaque_[owner] = image.isNull() ? QImage() : image.convertToFormat(QImage::Format_RGB32);
  keyed_[owner] = mask ? maskKeyed(image) : keyed(opaque_[owner]);
}

QImage PictureSet::keyed(const QImage& image) {
  if (image.isNull()) return {};
  QImage out = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
  const QRgb key = out.pixel(0, out.height() - 1);
  for (int y = 0; y < out.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
    for (int x = 0; x < out.width(); ++x)
      if (line[x] == key) line[x] = 0;
  }
  return out;
}

}  // namespace cantiere
