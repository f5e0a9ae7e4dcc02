// SPDX-License-Identifier: GPL-3.0-or-later
// Pictures as decoded, before they are made ready to draw, and where they
// come from. Decoding stays outside the renderer: a front end hands it plain
// pixels through an ArtSource (files, bytes built into the program, or
// whatever a browser fetched).
#pragma once

#include <string>

#include "core/lcd/catalogue.h"
#include "render/image.h"

namespace cantiere {

// A photograph or a 1x LCD bitmap as opaque colour, or a larger LCD
// figure as an 8-bit grey mask (black figure on white, anti-aliased).
struct Art {
  Image colour;
  GreyImage mask;

  bool empty() const { return colour.empty() && mask.empty(); }
  bool isMask() const { return colour.empty() && !mask.empty(); }
  int width() const { return isMask() ? mask.width : colour.width; }
  int height() const { return isMask() ? mask.height : colour.height; }
};

class ArtSource {
 public:
  virtual ~ArtSource() = default;
  // The picture stored at `path` ("pictures/2x/Im_Base.jpg",
  // "lcd/Im_Heart1.pbm"); empty, with a one-line reason naming the file in
  // `error`, when it is missing or cannot be decoded completely.
  virtual Art read(const std::string& path, std::string& error) const = 0;
};

// Where an element's own picture is kept at an art scale (1 to 4): the
// photographs as pictures/[<n>x/]<name>.jpg, the LCD figures as
// lcd/<name>.pbm at 1x and lcd/<n>x/<name>.png above.
std::string artPath(Element owner, int artScale);
// A photograph that is no element's (the launcher's slides, the about
// window's picture): pictures/[<n>x/]<name>.jpg.
std::string photoPath(const std::string& name, int artScale);

}  // namespace cantiere
