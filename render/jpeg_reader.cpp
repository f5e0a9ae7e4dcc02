// SPDX-License-Identifier: GPL-3.0-or-later
#include "render/jpeg_reader.h"

#include <turbojpeg.h>

#include <bit>
#include <memory>

namespace cantiere {
namespace {

struct TjCloser {
  void operator()(void* handle) const { tjDestroy(static_cast<tjhandle>(handle)); }
};

Image fail(std::string& error, std::string why) {
  error = std::move(why);
  return {};
}

}  // namespace

Image readJpeg(const unsigned char* data, std::size_t size, std::string& error) {
  if (size == 0) return fail(error, "empty file");
  std::unique_ptr<void, TjCloser> tj(tjInitDecompress());
  if (!tj) return fail(error, "cannot start the JPEG decoder");
  const auto length = static_cast<unsigned long>(size);
  int width = 0, height = 0, subsampling = 0, colourspace = 0;
  if (tjDecompressHeader3(tj.get(), data, length, &width, &height, &subsampling, &colourspace) != 0)
    return fail(error, tjGetErrorStr2(tj.get()));
  // A corrupt header can claim any size; nothing of ours is near this.
  if (width <= 0 || height <= 0 || width > 8192 || height > 8192)
    return fail(error, "implausible size " + std::to_string(width) + "x" + std::to_string(height));
  Image image(width, height);
  // One 32-bit word a pixel, 0xffRRGGBB: B, G, R, X in memory on a
  // little-endian machine. The decoder sets X to 0xff.
  const int format = std::endian::native == std::endian::little ? TJPF_BGRX : TJPF_XRGB;
  if (tjDecompress2(tj.get(), data, length, reinterpret_cast<unsigned char*>(image.pixels.data()),
                    width, width * 4, height, format, 0) != 0) {
    // Warnings (a truncated scan still gives a picture) are failures too:
    // a half-grey case is worse than an obvious gap.
    return fail(error, tjGetErrorStr2(tj.get()));
  }
  return image;
}

}  // namespace cantiere
