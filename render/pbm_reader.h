// SPDX-License-Identifier: GPL-3.0-or-later
// Reads the 1x LCD figures: portable bitmaps, plain (P1) or raw (P4).
#pragma once

#include <cstddef>
#include <string>

#include "render/image.h"

namespace cantiere {

// Black where the bitmap has a 1, white elsewhere, opaque; an empty picture
// and a reason in `error` when the data is not a complete bitmap.
Image readPbm(const unsigned char* data, std::size_t size, std::string& error);

}  // namespace cantiere
