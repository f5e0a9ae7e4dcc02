// SPDX-License-Identifier: GPL-3.0-or-later
// Every element's own picture at one device scale (device pixels per
// catalogue pixel), ready to draw: opaque as an element that is not
// transparent draws it, keyed as a transparent one does. Pictures are
// decoded when first drawn, and only at the art scale in use, so a start
// costs only what it shows.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "render/art.h"
#include "render/case_outline.h"
#include "render/lcd_effects.h"

namespace cantiere {

class PictureSet {
 public:
  // No pictures until setPicture gives some (tests, tools).
  explicit PictureSet(double deviceScale = 1.0);
  // `source`'s pictures: at a device scale between the art's, the larger
  // art reduced; a picture missing at its scale is resampled from the 1x
  // one and reported.
  PictureSet(std::shared_ptr<const ArtSource> source, double deviceScale);

  // A picture of a w x h element is scaledLength(w) x scaledLength(h).
  double scale() const { return scale_; }
  static int scaledLength(int catalogueLength, double deviceScale);
  // These pictures at another device scale: from the same source, or, for a
  // set without one, resampled from this one.
  PictureSet atScale(double deviceScale) const;

  // Owner's picture as an element that is not transparent draws it (every
  // pixel opaque), or as a transparent one does (every pixel of the
  // bottom-left pixel's colour left out; on an anti-aliased mask, the tones
  // between the figure's and the transparent one partly transparent).
  // Null when `owner` has no picture or it could not be read.
  const Image* picture(Element owner, bool transparent) const;
  // The keyed picture with its runs, as the compositor draws it.
  const Sprite* keyedSprite(Element owner) const;

  // One line per picture that is missing, broken or of the wrong size;
  // those draw nothing (wrong-size ones still draw, clipped to their
  // element). Reads every picture not read yet.
  std::vector<std::string> problems() const;

  // Puts a picture in place of `owner`'s own, at this set's scale as it is.
  void setPicture(Element owner, const Art& art);
  void setPicture(Element owner, const Image& colour) { setPicture(owner, Art{colour, {}}); }

  // The LCD layers made from these pictures.
  LcdEffects& effects() const { return effects_; }
  // The outline of a case element's own picture (empty without one).
  const CaseOutline& outline(Element caseElement) const;

 private:
  struct Slot {
    bool read = false;  // the source was asked (problems are known)
    bool opaqueMade = false, keyedMade = false;
    Image opaque;
    Sprite keyed;
    std::vector<std::string> problems;
  };
  // Reads `owner`'s art, noting problems the first time; `madeAt` is the art
  // scale it was made at.
  Art readArt(Element owner, int& madeAt) const;
  void make(Element owner, bool transparent) const;

  std::shared_ptr<const ArtSource> source_;
  double scale_;
  mutable std::array<Slot, ElementCount> slots_;
  mutable LcdEffects effects_;
  mutable std::array<std::unique_ptr<CaseOutline>, ElementCount> outlines_;
};

}  // namespace cantiere
