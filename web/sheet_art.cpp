// SPDX-License-Identifier: GPL-3.0-or-later
#include "web/sheet_art.h"

#include "render/pbm_reader.h"

namespace cantiere {

Art SheetArt::read(const std::string& path, std::string& error) const {
  const auto at = art_.find(path);
  if (at != art_.end()) return at->second;
  error = path + ": not in the page's pictures";
  return {};
}

bool SheetArt::addDecoded(const std::string& path, int width, int height, const std::uint8_t* rgba,
                          std::size_t size) {
  if (width <= 0 || height <= 0 || width > 8192 || height > 8192 ||
      size != static_cast<std::size_t>(width) * height * 4)
    return false;
  Art art;
  // The masks are grey: any channel is the grey.
  const bool mask = path.size() > 4 && path.compare(path.size() - 4, 4, ".png") == 0;
  if (mask) {
    art.mask = GreyImage(width, height);
    for (std::size_t i = 0; i < art.mask.pixels.size(); ++i) art.mask.pixels[i] = rgba[i * 4];
  } else {
    art.colour = Image(width, height);
    for (std::size_t i = 0; i < art.colour.pixels.size(); ++i)
      art.colour.pixels[i] = rgb(rgba[i * 4], rgba[i * 4 + 1], rgba[i * 4 + 2]);
  }
  art_[path] = std::move(art);
  return true;
}

bool SheetArt::addBitmap(const std::string& path, const std::uint8_t* bytes, std::size_t size) {
  std::string why;
  Art art;
  art.colour = readPbm(bytes, size, why);
  if (art.colour.empty()) return false;
  art_[path] = std::move(art);
  return true;
}

}  // namespace cantiere
