// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/script/state_dump.h"

#include <ostream>
#include <sstream>

namespace cantiere {

std::string windowText(const WindowGeometry& g) {
  std::ostringstream s;
  s << "window left=" << g.left << " top=" << g.top << " width=" << g.width
    << " height=" << g.height;
  return s.str();
}

std::string digitOf(Element picture) {
  if (picture >= Im_Num0 && picture <= Im_Num9) return std::to_string(picture - Im_Num0);
  return "-";
}

std::string litLine(Element e, bool lit) { return (lit ? "+" : "-") + std::string(nameOf(e)); }

std::optional<std::string> digitLine(Element e, Element picture) {
  const Element positions[] = {Im_NumPos1, Im_NumPos2, Im_NumPos3, Im_NumPos4};
  for (int p = 1; p <= 4; ++p)
    if (positions[p - 1] == e) return "digit " + std::to_string(p) + " " + digitOf(picture);
  return std::nullopt;
}

void writeStateLines(std::ostream& out, const Handheld& h) {
  out << windowText(h.window()) << '\n';
  out << "lit";
  for (int i = 0; i < ElementCount; ++i)
    if (h.surface.lit(static_cast<Element>(i))) out << ' ' << nameOf(static_cast<Element>(i));
  out << '\n' << "digits";
  for (int p = 1; p <= 4; ++p) out << ' ' << digitOf(h.surface.picture(h.tables.DigitPos(p)));
  out << '\n' << "state";
#define CANTIERE_DUMP_FIELD(type, name) out << ' ' << #name "=" << static_cast<long long>(h.state.name);
  CANTIERE_GAME_STATE_FIELDS(CANTIERE_DUMP_FIELD)
#undef CANTIERE_DUMP_FIELD
  out << '\n' << "timers";
  for (int t = 0; t < TimerCount; ++t) {
    const auto id = static_cast<TimerId>(t);
    out << ' ' << timerName(id) << '=' << (h.timerEnabled(id) ? "on:" : "off:")
        << h.timerInterval(id);
  }
  out << '\n';
}

void writeDump(std::ostream& out, const Handheld& h, std::int64_t time) {
  out << "time " << time << '\n';
  writeStateLines(out, h);
}

}  // namespace cantiere
