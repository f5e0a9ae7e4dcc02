#include "frontend/picture_set.h"

#include <QFile>

#include "frontend/jpeg_decode.h"

namespace cantiere {
namespace {

QString pathOf(const QString& root, Element e) {
  const ElementInfo& in = info(e);
  const char* folder = in.picture == PictureKind::Photo ? "/pictures/" : "/lcd/";
  const char* suffix = in.picture == PictureKind::Photo ? ".jpg" : ".pbm";
  return root + folder + QString::fromLatin1(in.name) + suffix;
}

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
  QImage image;
  if (!image.loadFromData(data, "PBM")) {
    *error = QStringLiteral("%1: not a readable PBM").arg(path);
    return {};
  }
  return image.convertToFormat(QImage::Format_RGB32);
}

}  // namespace

PictureSet PictureSet::load(const QString& root) {
  PictureSet set;
  for (int i = 0; i < ElementCount; ++i) {
    const auto e = static_cast<Element>(i);
    const ElementInfo& in = info(e);
    if (in.picture != PictureKind::Photo && in.picture != PictureKind::Bitmap) continue;
    QString error;
    const QImage image = read(pathOf(root, e), in.picture == PictureKind::Photo, &error);
    if (image.isNull()) {
      set.problems_ << QStringLiteral("%1: %2").arg(QLatin1String(in.name), error);
      continue;
    }
    if (image.width() != in.rect.width || image.height() != in.rect.height)
      set.problems_ << QStringLiteral("%1: picture is %2x%3, the element %4x%5")
                           .arg(QLatin1String(in.name))
                           .arg(image.width())
                           .arg(image.height())
                           .arg(in.rect.width)
                           .arg(in.rect.height);
    set.setPicture(e, image);
  }
  return set;
}

const QImage& PictureSet::picture(Element owner, bool transparent) const {
  static const QImage none;
  if (owner >= ElementCount) return none;
  return transparent ? keyed_[owner] : opaque_[owner];
}

void PictureSet::setPicture(Element owner, const QImage& image) {
  if (owner >= ElementCount) return;
  opaque_[owner] = image.isNull() ? QImage() : image.convertToFormat(QImage::Format_RGB32);
  keyed_[owner] = keyed(opaque_[owner]);
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
