// SPDX-License-Identifier: GPL-3.0-or-later
// Decodes PNG pictures with libpng: the LCD figures' masks at 2x to 4x.
#pragma once

#include <cstddef>
#include <string>

#include "render/art.h"

namespace cantiere {

// A grey file as a mask, any other as premultiplied colour; an empty one
// and a reason in `error` when the data is not a PNG that decodes
// completely.
Art readPng(const unsigned char* data, std::size_t size, std::string& error);

}  // namespace cantiere
