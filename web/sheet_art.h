// SPDX-License-Identifier: GPL-3.0-or-later
// The pictures of one sheet (every picture of an art scale in one file), as
// the page hands them over: photographs and masks decoded by the browser
// into RGBA, the 1x LCD bitmaps as their bytes. The renderer reads them
// from here as it reads them from files on the desktop.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "render/art.h"

namespace cantiere {

class SheetArt : public ArtSource {
 public:
  Art read(const std::string& path, std::string& error) const override;

  // A picture decoded by the browser, `width` x `height` RGBA: a
  // photograph as opaque colour, an LCD mask (lcd/<n>x/...png) as its
  // grey. False for a size that does not match its bytes.
  bool addDecoded(const std::string& path, int width, int height, const std::uint8_t* rgba,
                  std::size_t size);
  // A 1x LCD bitmap's file bytes (lcd/<name>.pbm), decoded here. False
  // when they are not a bitmap.
  bool addBitmap(const std::string& path, const std::uint8_t* bytes, std::size_t size);

  // The pictures of `artScale` have been handed over: all of them, or
  // (`whole` false) those the first screen shows (the launcher's), the
  // rest to follow.
  void completed(int artScale, bool whole = true) { whole_[artScale] |= whole; }
  bool has(int artScale) const { return whole_.count(artScale) != 0; }
  bool whole(int artScale) const {
    const auto at = whole_.find(artScale);
    return at != whole_.end() && at->second;
  }

 private:
  std::map<std::string, Art> art_;
  std::map<int, bool> whole_;
};

}  // namespace cantiere
