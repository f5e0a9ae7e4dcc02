// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/lcd/catalogue.h"

#include <array>

namespace cantiere {
namespace {

constexpr std::array<ElementInfo, ElementCount> kCatalogue = {{
#define X(name, l, t, w, h, kind, copy, shown, transparent, group) \
  {#name, {l, t, w, h}, PictureKind::kind, copy, shown, transparent, Group::group},
#define None NoElement
#include "core/lcd/catalogue_table.inc"
#undef None
#undef X
}};

}  // namespace

const ElementInfo& info(Element e) { return kCatalogue[e]; }

std::optional<Element> elementByName(std::string_view name) {
  for (int i = 0; i < ElementCount; ++i)
    if (name == kCatalogue[i].name) return static_cast<Element>(i);
  return std::nullopt;
}

}  // namespace cantiere
