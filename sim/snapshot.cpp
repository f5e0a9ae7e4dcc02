// The driver's `snapshot FILE`: a PNG of the handheld window's client area,
// drawn by the same painter as the desktop window.
#include "sim/snapshot.h"

#include <QImage>
#include <QString>

#include "frontend/picture_set.h"
#include "core/launcher/program.h"
#include "frontend/surface_painter.h"
#include "sim/driver.h"

namespace cantiere {

void installSnapshotWriter(Driver& driver) {
  driver.setSnapshotWriter([](const Program& program, const std::string& file, std::string& error) {
    static const PictureSet pictures = PictureSet::builtIn();
    const WindowGeometry& g = program.form1.window();
    const QImage image = renderWindow(program.form1.surface, pictures, g.width, g.height);
    if (!image.save(QString::fromStdString(file), "PNG")) {
      error = "cannot write " + file;
      return false;
    }
    return true;
  });
}

}  // namespace cantiere
