// SPDX-License-Identifier: GPL-3.0-or-later
#include "render/picture_set.h"

#include <cmath>

#include "render/front_end_types.h"
#include "render/keying.h"
#include "render/resample.h"

namespace cantiere {
namespace {

bool ownPicture(Element e) {
  const PictureKind k = info(e).picture;
  return k == PictureKind::Photo || k == PictureKind::Bitmap;
}

// Grey by the usual weights (11, 16, 5 in 32nds), for a figure stored in
// colour where a mask is expected.
GreyImage grey(const Image& colour) {
  GreyImage out(colour.width, colour.height);
  for (std::size_t i = 0; i < colour.pixels.size(); ++i) {
    const Pixel p = colour.pixels[i];
    out.pixels[i] = static_cast<std::uint8_t>((redOf(p) * 11 + greenOf(p) * 16 + blueOf(p) * 5) / 32);
  }
  return out;
}

Image opaqueOf(const Art& art) {
  if (art.isMask()) return opaqueGrey(art.mask);
  Image out = art.colour;
  for (Pixel& p : out.pixels) p |= 0xFF000000u;
  return out;
}

Image keyedOf(const Art& art) { return art.isMask() ? maskKeyed(art.mask) : keyed(opaqueOf(art)); }

}  // namespace

int PictureSet::scaledLength(int catalogueLength, double deviceScale) {
  return static_cast<int>(std::floor(catalogueLength * deviceScale + 0.5));
}

PictureSet::PictureSet(double deviceScale) : scale_(deviceScale), effects_(deviceScale) {
  for (Slot& s : slots_) s.read = true;
}

PictureSet::PictureSet(std::shared_ptr<const ArtSource> source, double deviceScale)
    : source_(std::move(source)), scale_(deviceScale), effects_(deviceScale) {}

Art PictureSet::readArt(Element owner, int& madeAt) const {
  Slot& slot = slots_[owner];
  const bool noted = slot.read;
  slot.read = true;
  const ElementInfo& in = info(owner);
  auto note = [&](const std::string& line) {
    if (!noted) slot.problems.push_back(std::string(in.name) + ": " + line);
  };
  std::string error;
  madeAt = ViewScale::artScaleFor(scale_);
  Art art = source_->read(artPath(owner, madeAt), error);
  if (art.empty() && madeAt > 1) {
    // The larger art is a nicety: the 1x picture enlarged still plays.
    note(error);
    madeAt = 1;
    art = source_->read(artPath(owner, 1), error);
  }
  if (art.empty()) {
    note(error);
    return art;
  }
  // The larger LCD art is a mask; anything else is colour.
  const bool mask = in.picture == PictureKind::Bitmap && madeAt > 1;
  if (mask && !art.isMask()) art = Art{{}, grey(art.colour)};
  if (!mask && art.isMask()) art = Art{opaqueGrey(art.mask), {}};
  const int w = scaledLength(in.rect.width, madeAt), h = scaledLength(in.rect.height, madeAt);
  if (art.width() != w || art.height() != h)
    note("picture is " + std::to_string(art.width()) + "x" + std::to_string(art.height()) +
         ", the element " + std::to_string(w) + "x" + std::to_string(h) + " at " +
         std::to_string(madeAt) + "x");
  return art;
}

void PictureSet::make(Element owner, bool transparent) const {
  Slot& slot = slots_[owner];
  if (transparent && (!source_ || info(owner).picture == PictureKind::Photo)) {
    // Keyed as it is drawn: a photograph's keyed look is its device picture's.
    if (!slot.opaqueMade) make(owner, false);
    slot.keyed = Sprite(keyed(slot.opaque));
    slot.keyedMade = true;
    return;
  }
  if (!source_ || !ownPicture(owner)) {
    (transparent ? slot.keyedMade : slot.opaqueMade) = true;
    return;
  }
  int made = 1;
  const Art art = readArt(owner, made);
  (transparent ? slot.keyedMade : slot.opaqueMade) = true;
  if (art.empty()) return;
  Image picture = transparent ? keyedOf(art) : opaqueOf(art);
  if (scale_ != 1.0 || made != 1) {
    // A wrong-size picture keeps its proportion to the element's.
    picture = resampled(picture, scaledLength(art.width(), scale_ / made),
                        scaledLength(art.height(), scale_ / made), !transparent);
  }
  if (transparent) {
    slot.keyed = Sprite(std::move(picture));
  } else {
    slot.opaque = std::move(picture);
  }
}

const Image* PictureSet::picture(Element owner, bool transparent) const {
  if (!transparent) {
    if (owner >= ElementCount) return nullptr;
    const Slot& slot = slots_[owner];
    if (!slot.opaqueMade) make(owner, false);
    return slot.opaque.empty() ? nullptr : &slot.opaque;
  }
  const Sprite* sprite = keyedSprite(owner);
  return sprite ? &sprite->image() : nullptr;
}

const Sprite* PictureSet::keyedSprite(Element owner) const {
  if (owner >= ElementCount) return nullptr;
  const Slot& slot = slots_[owner];
  if (!slot.keyedMade) make(owner, true);
  return slot.keyed.image().empty() ? nullptr : &slot.keyed;
}

std::vector<std::string> PictureSet::problems() const {
  std::vector<std::string> all;
  for (int i = 0; i < ElementCount; ++i) {
    const auto e = static_cast<Element>(i);
    if (source_ && ownPicture(e) && !slots_[e].read) picture(e, info(e).transparent);
    all.insert(all.end(), slots_[e].problems.begin(), slots_[e].problems.end());
  }
  return all;
}

void PictureSet::setPicture(Element owner, const Art& art) {
  if (owner >= ElementCount) return;
  Slot& slot = slots_[owner];
  slot.read = slot.opaqueMade = slot.keyedMade = true;
  slot.opaque = art.empty() ? Image() : opaqueOf(art);
  slot.keyed = Sprite(art.empty() ? Image() : keyedOf(art));
  effects_.forget(owner);
  outlines_[owner].reset();
}

PictureSet PictureSet::atScale(double deviceScale) const {
  if (source_) return PictureSet(source_, deviceScale);
  PictureSet set(deviceScale);
  for (int i = 0; i < ElementCount; ++i) {
    const Slot& from = slots_[i];
    Slot& to = set.slots_[i];
    to.problems = from.problems;
    if (!from.opaqueMade || from.opaque.empty()) continue;
    const int w = scaledLength(from.opaque.width, deviceScale / scale_);
    const int h = scaledLength(from.opaque.height, deviceScale / scale_);
    to.opaque = resampled(from.opaque, w, h, true);
    to.opaqueMade = true;
    if (from.keyedMade && !from.keyed.image().empty()) {
      to.keyed = Sprite(resampled(from.keyed.image(), w, h, false));
      to.keyedMade = true;
    }
  }
  return set;
}

const CaseOutline& PictureSet::outline(Element caseElement) const {
  static const CaseOutline none;
  if (caseElement >= ElementCount) return none;
  auto& outline = outlines_[caseElement];
  if (!outline) {
    const Image* image = picture(caseElement, false);
    outline = std::make_unique<CaseOutline>(image ? CaseOutline::of(*image) : CaseOutline());
  }
  return *outline;
}

}  // namespace cantiere
