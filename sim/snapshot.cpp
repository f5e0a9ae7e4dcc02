// SPDX-License-Identifier: GPL-3.0-or-later
// The driver's `snapshot FILE [ZOOM]`: a PNG of the handheld window's client
// area, drawn by the same painter as the desktop window, LCD effects and
// all, at a zoom on a screen of device pixel ratio 1.
#include "sim/snapshot.h"

#include <QImage>
#include <QString>

#include <algorithm>
#include <map>
#include <optional>
#include <string>

#include "core/launcher/program.h"
#include "frontend/picture_set.h"
#include "frontend/surface_painter.h"
#include "common/view/view_scale.h"
#include "sim/driver.h"

namespace cantiere {

void installSnapshotWriter(Driver& driver) {
  driver.setSnapshotWriter([&driver](const Program& program, const std::string& file, int zoom,
                                     std::string& error) {
    const auto& steps = ViewScale::kZoomSteps;
    if (std::find(steps.begin(), steps.end(), zoom) == steps.end()) {
      error = "snapshot's zoom must be one of";
      for (int step : steps) error += " " + std::to_string(step);
      return false;
    }
    // Each zoom's pictures are read once per run.
    static std::map<int, PictureSet> pictures;
    const ViewScale view(zoom, 1.0);
    auto at = pictures.find(zoom);
    if (at == pictures.end()) at = pictures.emplace(zoom, PictureSet::builtIn(view.deviceScale())).first;
    const WindowGeometry& g = program.form1.window();
    // The segments as the window draws them at this virtual instant.
    std::optional<LcdLook> look;
    if (driver.lcdEffects()) look.emplace(LcdLook{driver.lcdResponse(), driver.now()});
    const QImage image = renderWindow(program.form1.surface, at->second, g.width, g.height, view,
                                      look ? &*look : nullptr);
    if (!image.save(QString::fromStdString(file), "PNG")) {
      error = "cannot write " + file;
      return false;
    }
    return true;
  });
}

}  // namespace cantiere
