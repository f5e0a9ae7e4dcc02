// SPDX-License-Identifier: GPL-3.0-or-later
// Writes a composed picture as a PNG file with libpng.
#pragma once

#include <string>

#include "render/image.h"

namespace cantiere {

// 8-bit RGB when `opaque` (its alpha ignored), else RGBA with the alpha
// undone from the premultiplied pixels. False and a reason in `error` when
// the file cannot be written.
bool writePng(const std::string& path, const Image& image, bool opaque, std::string& error);

}  // namespace cantiere
