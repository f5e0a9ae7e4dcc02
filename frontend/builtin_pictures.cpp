// SPDX-License-Identifier: GPL-3.0-or-later
// The pictures built into the program. Kept apart from picture_set.cpp so
// that the tools which make those pictures can link the loader without them.
#include <QFile>
#include <QtCore/qglobal.h>

#include "frontend/jpeg_decode.h"
#include "frontend/picture_set.h"
#include "common/view/view_scale.h"

// The resource's registration lives in its own object in a static library;
// naming it here makes the linker keep it.
static void registerBuiltInPictures() { Q_INIT_RESOURCE(assets); }

namespace cantiere {
namespace {

QImage readPhoto(const QString& name, int art, QString* error) {
  const QString folder = art > 1 ? QStringLiteral("%1x/").arg(art) : QString();
  QFile file(QStringLiteral(":/pictures/%1%2.jpg").arg(folder, name));
  if (!file.open(QIODevice::ReadOnly)) {
    if (error) *error = QStringLiteral("no built-in picture %1%2").arg(folder, name);
    return {};
  }
  return decodeJpeg(file.readAll(), error);
}

}  // namespace

PictureSet PictureSet::builtIn(double deviceScale) {
  registerBuiltInPictures();
  return load(QStringLiteral(":"), deviceScale);
}

QImage builtInPhoto(const QString& name, QString* error, double deviceScale) {
  registerBuiltInPictures();
  int art = ViewScale::artScaleFor(deviceScale);
  QImage image = readPhoto(name, art, error);
  if (image.isNull() && art > 1) image = readPhoto(name, art = 1, error);
  if (image.isNull() || deviceScale == 1.0) return image;
  const QSize target(PictureSet::scaledLength(image.width() / art, deviceScale),
                     PictureSet::scaledLength(image.height() / art, deviceScale));
  if (image.size() != target)
    image = image.scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  image.setDevicePixelRatio(deviceScale);
  return image;
}

QIcon builtInIcon() {
  registerBuiltInPictures();
  QIcon icon;
  for (int size : {16, 24, 32, 48, 64, 128, 256})
    icon.addFile(QStringLiteral(":/icons/hicolor/%1x%1/apps/cantiere.png").arg(size), QSize(size, size));
  return icon;
}

}  // namespace cantiere
