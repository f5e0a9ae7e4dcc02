// SPDX-License-Identifier: GPL-3.0-or-later
#include "render/png_reader.h"

#include <png.h>

#include <bit>
#include <cstdint>
#include <cstring>

namespace cantiere {

Art readPng(const unsigned char* data, std::size_t size, std::string& error) {
  png_image png;
  std::memset(&png, 0, sizeof png);
  png.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&png, data, size)) {
    error = png.message;
    png_image_free(&png);
    return {};
  }
  // A corrupt header can claim any size; nothing of ours is near this, and
  // no compression packs more than about a thousand bytes into one.
  if (png.width > 8192 || png.height > 8192 ||
      static_cast<std::uint64_t>(png.width) * png.height > static_cast<std::uint64_t>(size) * 1100) {
    error = "implausible size " + std::to_string(png.width) + "x" + std::to_string(png.height);
    png_image_free(&png);
    return {};
  }
  const int w = static_cast<int>(png.width), h = static_cast<int>(png.height);
  Art art;
  const bool grey = !(png.format & (PNG_FORMAT_FLAG_COLOR | PNG_FORMAT_FLAG_ALPHA));
  void* pixels = nullptr;
  if (grey) {
    png.format = PNG_FORMAT_GRAY;
    art.mask = GreyImage(w, h);
    pixels = art.mask.pixels.data();
  } else {
    // 0xAARRGGBB words: B, G, R, A in memory on a little-endian machine.
    png.format = std::endian::native == std::endian::little ? PNG_FORMAT_BGRA : PNG_FORMAT_ARGB;
    art.colour = Image(w, h);
    pixels = art.colour.pixels.data();
  }
  if (!png_image_finish_read(&png, nullptr, pixels, 0, nullptr)) {
    error = png.message;
    png_image_free(&png);
    return {};
  }
  for (Pixel& p : art.colour.pixels) {
    const unsigned a = alphaOf(p);
    if (a == 255) continue;
    // Premultiplied, rounded as the blending elsewhere.
    auto mul = [a](unsigned c) { const unsigned t = c * a; return (t + (t >> 8) + 0x80) >> 8; };
    p = argb(a, mul(redOf(p)), mul(greenOf(p)), mul(blueOf(p)));
  }
  return art;
}

}  // namespace cantiere
