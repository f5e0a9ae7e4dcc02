// SPDX-License-Identifier: GPL-3.0-or-later
#include "render/art.h"

namespace cantiere {
namespace {

std::string folder(const char* top, int artScale) {
  std::string f = top;
  if (artScale > 1) f += std::to_string(artScale) + "x/";
  return f;
}

}  // namespace

std::string artPath(Element owner, int artScale) {
  const ElementInfo& in = info(owner);
  if (in.picture == PictureKind::Photo) return photoPath(in.name, artScale);
  return folder("lcd/", artScale) + in.name + (artScale > 1 ? ".png" : ".pbm");
}

std::string photoPath(const std::string& name, int artScale) {
  return folder("pictures/", artScale) + name + ".jpg";
}

}  // namespace cantiere
