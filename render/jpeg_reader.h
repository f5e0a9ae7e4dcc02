// SPDX-License-Identifier: GPL-3.0-or-later
// Decodes the case and button photographs with libjpeg-turbo.
#pragma once

#include <cstddef>
#include <string>

#include "render/image.h"

namespace cantiere {

// Opaque pixels; an empty picture and a reason in `error` when the data is
// not a JPEG that decodes completely.
Image readJpeg(const unsigned char* data, std::size_t size, std::string& error);

}  // namespace cantiere
