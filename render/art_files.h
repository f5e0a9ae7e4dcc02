// SPDX-License-Identifier: GPL-3.0-or-later
// Art read from files, decoded by their kind: JPEG photographs, PNG masks,
// PBM bitmaps. From a folder laid out as assets/ is, or from the copy
// built into the program.
#pragma once

#include <memory>
#include <string>

#include "render/art.h"
#include "render/picture_set.h"

namespace cantiere {

// Decodes by the path's extension (.jpg, .png, .pbm); messages name the
// file as `shownAs`.
Art decodeArt(const unsigned char* data, std::size_t size, const std::string& path,
              const std::string& shownAs, std::string& error);

// <root>/<path>; only regular files are read (a link to one is followed),
// of at most 64 MB.
class FolderArt : public ArtSource {
 public:
  explicit FolderArt(std::string root) : root_(std::move(root)) {}
  Art read(const std::string& path, std::string& error) const override;

 private:
  std::string root_;
};

// The pictures built into the program.
class BuiltInArt : public ArtSource {
 public:
  Art read(const std::string& path, std::string& error) const override;
};

// One shared source of the built-in pictures.
std::shared_ptr<const ArtSource> builtInArt();
// The built-in pictures at a device scale, each decoded when first drawn.
inline PictureSet builtInPictures(double deviceScale = 1.0) { return {builtInArt(), deviceScale}; }

}  // namespace cantiere
