// SPDX-License-Identifier: GPL-3.0-or-later
// The driver's `snapshot FILE [ZOOM]`: a PNG of the handheld window's client
// area, composed by the same renderer as the desktop window's, LCD effects
// and all, at a zoom on a screen of device pixel ratio 1.
#include "sim/snapshot.h"

#include <algorithm>
#include <map>
#include <optional>
#include <string>

#include "core/launcher/program.h"
#include "render/art_files.h"
#include "render/compositor.h"
#include "render/png_writer.h"
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
    // Each zoom's pictures are decoded once per run, as they are first drawn.
    static std::map<int, PictureSet> pictures;
    const ViewScale view(zoom, 1.0);
    auto at = pictures.find(zoom);
    if (at == pictures.end()) at = pictures.emplace(zoom, builtInPictures(view.deviceScale())).first;
    const WindowGeometry& g = program.form1.window();
    // The segments as the window draws them at this virtual instant.
    std::optional<LcdLook> look;
    if (driver.lcdEffects()) look.emplace(LcdLook{driver.lcdResponse(), driver.now()});
    const Image image =
        renderWindow({program.form1.surface, at->second, view, look ? &*look : nullptr}, g.width, g.height);
    return writePng(file, image, true, error);
  });
}

}  // namespace cantiere
