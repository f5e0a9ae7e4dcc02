// The pictures built into the program. Kept apart from picture_set.cpp so
// that the tools which make those pictures can link the loader without them.
#include <QFile>
#include <QtCore/qglobal.h>

#include "frontend/jpeg_decode.h"
#include "frontend/picture_set.h"

// The resource's registration lives in its own object in a static library;
// naming it here makes the linker keep it.
static void registerBuiltInPictures() { Q_INIT_RESOURCE(assets); }

namespace cantiere {

PictureSet PictureSet::builtIn() {
  registerBuiltInPictures();
  return load(QStringLiteral(":"));
}

QImage builtInPhoto(const QString& name, QString* error) {
  registerBuiltInPictures();
  QFile file(QStringLiteral(":/pictures/%1.jpg").arg(name));
  if (!file.open(QIODevice::ReadOnly)) {
    if (error) *error = QStringLiteral("no built-in picture %1").arg(name);
    return {};
  }
  return decodeJpeg(file.readAll(), error);
}

}  // namespace cantiere
