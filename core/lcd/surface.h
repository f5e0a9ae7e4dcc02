// SPDX-License-Identifier: GPL-3.0-or-later
// The lit state and current picture of every element. Showing a lit element
// or hiding a dark one is a no-op that reports nothing, so handlers may ask
// for a state many times a tick at the cost of one comparison.
#pragma once

#include <array>

#include "core/lcd/catalogue.h"

namespace cantiere {

// Told about every real change, one element at a time (the renderer repaints
// that rectangle; the driver prints a trace line).
class SurfaceListener {
 public:
  virtual ~SurfaceListener() = default;
  virtual void litChanged(Element e, bool lit) = 0;
  virtual void pictureChanged(Element e) = 0;
};

class Surface {
 public:
  Surface();

  // Back to the state of a freshly created window: shown-at-start flags,
  // every element holding its own picture (or none). Reports nothing.
  void reset();

  void setListener(SurfaceListener* listener) { listener_ = listener; }

  bool lit(Element e) const { return e != NoElement && lit_[e]; }
  // NoElement (an empty table cell) is ignored, so a stray lookup can never
  // write outside the arrays.
  void show(Element e) { set(e, true); }
  void hide(Element e) { set(e, false); }
  void set(Element e, bool lit) {
    if (e == NoElement || lit_[e] == lit) return;
    lit_[e] = lit;
    if (listener_) listener_->litChanged(e, lit);
  }

  // Which element's own picture `e` holds now, or NoElement for none.
  Element picture(Element e) const { return picture_[e]; }
  // `dst` takes a copy of the picture `src` holds now; later changes to
  // `src` do not reach it.
  void copyPicture(Element dst, Element src) { setPicture(dst, picture_[src]); }
  void clearPicture(Element e) { setPicture(e, NoElement); }

 private:
  void setPicture(Element e, Element picture) {
    if (e == NoElement || picture_[e] == picture) return;
    picture_[e] = picture;
    if (listener_) listener_->pictureChanged(e);
  }

  std::array<bool, ElementCount> lit_{};
  std::array<Element, ElementCount> picture_{};
  SurfaceListener* listener_ = nullptr;
};

}  // namespace cantiere
