// SPDX-License-Identifier: GPL-3.0-or-later
// The catalogue of every element of the handheld window: name, rectangle,
// picture, start state, transparency and group, in stacking order.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace cantiere {

// Element ids in stacking order; the names are the handheld's own, so
// handlers read like `surface.show(Im_Bar46)`.
enum Element : std::uint8_t {
#define X(name, ...) name,
#include "core/lcd/catalogue_table.inc"
#undef X
  ElementCount,
  NoElement = 0xFF,  // an empty cell of an element table
};

// Where an element's picture comes from.
enum class PictureKind : std::uint8_t {
  Photo,    // JPEG photograph of the case or a button
  Bitmap,   // one-bit LCD picture of exactly the element's size
  Copy,     // a copy of another element's picture, made at start-up
  Nothing,  // no picture of its own (draws nothing until given one)
};

enum class Group : std::uint8_t {
  Case,
  Button,
  UpperScreen,
  LowerScreen,
  GlyphSource,
  ScreenOverlay,
};

struct Rect {
  int left, top, width, height;
  bool contains(int x, int y) const {
    return x >= left && y >= top && x < left + width && y < top + height;
  }
};

struct ElementInfo {
  const char* name;
  Rect rect;
  PictureKind picture;
  Element copyOf;  // for PictureKind::Copy, else NoElement
  bool shownAtStart;
  bool transparent;
  Group group;
};

const ElementInfo& info(Element e);
inline const char* nameOf(Element e) { return info(e).name; }
std::optional<Element> elementByName(std::string_view name);

// True for the LCD figures of the two screens (not the case, buttons,
// glyph sources or overlays).
inline bool isLcd(Element e) {
  const Group g = info(e).group;
  return g == Group::UpperScreen || g == Group::LowerScreen;
}

}  // namespace cantiere
