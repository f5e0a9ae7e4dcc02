// SPDX-License-Identifier: GPL-3.0-or-later
#include "render/png_writer.h"

#include <png.h>

#include <cstring>
#include <vector>

namespace cantiere {

bool writePng(const std::string& path, const Image& image, bool opaque, std::string& error) {
  if (image.empty()) {
    error = "no picture to write to " + path;
    return false;
  }
  const int channels = opaque ? 3 : 4;
  std::vector<unsigned char> bytes(image.pixels.size() * channels);
  unsigned char* out = bytes.data();
  for (const Pixel p : image.pixels) {
    const unsigned a = alphaOf(p);
    auto straight = [&](unsigned c) { return opaque || a == 255 ? c : a == 0 ? 0 : (c * 255 + a / 2) / a; };
    *out++ = static_cast<unsigned char>(straight(redOf(p)));
    *out++ = static_cast<unsigned char>(straight(greenOf(p)));
    *out++ = static_cast<unsigned char>(straight(blueOf(p)));
    if (!opaque) *out++ = static_cast<unsigned char>(a);
  }
  png_image png;
  std::memset(&png, 0, sizeof png);
  png.version = PNG_IMAGE_VERSION;
  png.width = static_cast<png_uint_32>(image.width);
  png.height = static_cast<png_uint_32>(image.height);
  png.format = opaque ? PNG_FORMAT_RGB : PNG_FORMAT_RGBA;
  if (!png_image_write_to_file(&png, path.c_str(), 0, bytes.data(), 0, nullptr)) {
    error = "cannot write " + path + ": " + png.message;
    png_image_free(&png);
    return false;
  }
  return true;
}

}  // namespace cantiere
