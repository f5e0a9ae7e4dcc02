// SPDX-License-Identifier: GPL-3.0-or-later
// The colour scenery printed under the two LCDs. Every girder, ladder and
// post is placed from the element rectangles of the catalogue, so a barrel
// or a player pose lit on the glass stands exactly on its printed floor.
#include "tools/case_art.h"
#include "tools/palette.h"

#include <QLinearGradient>
#include <QPainterPath>

#include <initializer_list>
#include <vector>

namespace cantiere::art {
namespace {

// The floor under an element: the middle of its bottom edge.
QPointF footOf(Element e) {
  const QRectF r = rectOf(e);
  return QPointF(r.center().x(), r.top() + r.height());
}

// y = a + b x, least squares through the feet of the elements that stand
// on one floor.
struct Floor {
  double a = 0, b = 0;
  double at(double x) const { return a + b * x; }
  QPointF point(double x) const { return QPointF(x, at(x)); }
};

Floor fit(const std::vector<QPointF>& points) {
  double n = 0, sx = 0, sy = 0, sxx = 0, sxy = 0;
  for (const QPointF& p : points) {
    n += 1;
    sx += p.x();
    sy += p.y();
    sxx += p.x() * p.x();
    sxy += p.x() * p.y();
  }
  Floor f;
  const double den = n * sxx - sx * sx;
  f.b = den == 0 ? 0 : (n * sxy - sx * sy) / den;
  f.a = (sy - f.b * sx) / n;
  return f;
}

Floor floorUnder(std::initializer_list<Element> elements) {
  std::vector<QPointF> feet;
  for (Element e : elements) feet.push_back(footOf(e));
  return fit(feet);
}

// The line along the top edges of the elements that hang from it.
Floor lineOver(std::initializer_list<Element> elements) {
  std::vector<QPointF> tops;
  for (Element e : elements) tops.push_back(QPointF(rectOf(e).center().x(), rectOf(e).top()));
  return fit(tops);
}

// A lattice girder whose top edge is the floor, from x0 to x1.
void girder(QPainter& p, const Floor& f, double x0, double x1, double depth = 5.0) {
  QPainterPath band;
  band.moveTo(f.point(x0));
  band.lineTo(f.point(x1));
  band.lineTo(x1, f.at(x1) + depth);
  band.lineTo(x0, f.at(x0) + depth);
  band.closeSubpath();
  p.fillPath(band, kGirder);
  p.save();
  p.setClipPath(band);
  p.setPen(QPen(kGirderDark, 1.0));
  bool down = true;
  for (double x = x0; x < x1; x += depth * 1.2) {
    const double xn = x + depth * 1.2;
    p.drawLine(QPointF(x, f.at(x) + (down ? 0.8 : depth - 0.8)),
               QPointF(xn, f.at(xn) + (down ? depth - 0.8 : 0.8)));
    down = !down;
  }
  p.restore();
  p.setPen(QPen(kGirderLight, 1.0));
  p.drawLine(f.point(x0) + QPointF(0, 0.5), f.point(x1) + QPointF(0, 0.5));
  p.setPen(QPen(kGirderDark, 1.0));
  p.drawLine(QPointF(x0, f.at(x0) + depth - 0.5), QPointF(x1, f.at(x1) + depth - 0.5));
}

void ladder(QPainter& p, double xLeft, double xRight, double yTop, double yBottom) {
  p.setPen(QPen(kLadder, 1.6));
  p.drawLine(QPointF(xLeft, yTop), QPointF(xLeft, yBottom));
  p.drawLine(QPointF(xRight, yTop), QPointF(xRight, yBottom));
  p.setPen(QPen(kLadder, 1.2));
  for (double y = yTop + 2.5; y < yBottom; y += 4.5) p.drawLine(QPointF(xLeft, y), QPointF(xRight, y));
}

// A lattice mast, as crane towers are built.
void mast(QPainter& p, double x0, double x1, double yTop, double yBottom) {
  p.setPen(QPen(kSteel, 1.4));
  p.drawLine(QPointF(x0, yTop), QPointF(x0, yBottom));
  p.drawLine(QPointF(x1, yTop), QPointF(x1, yBottom));
  p.setPen(QPen(kSteel, 0.9));
  const double step = x1 - x0;
  for (double y = yTop; y + step <= yBottom + 0.1; y += step) {
    p.drawLine(QPointF(x0, y), QPointF(x1, y + step));
    p.drawLine(QPointF(x1, y), QPointF(x0, y + step));
    p.drawLine(QPointF(x0, y), QPointF(x1, y));
  }
}

void glass(QPainter& p, const QRectF& screen) {
  QLinearGradient g(screen.topLeft(), screen.bottomRight());
  g.setColorAt(0, kGlass.lighter(106));
  g.setColorAt(1, kGlass.darker(104));
  p.fillRect(screen, g);
}

void upperScenery(QPainter& p, const QRectF& screen) {
  // Ladder at column 2 from the top girder to the foot of the screen, where
  // it goes on down the lower screen.
  const Floor top = floorUnder({Im_Omino22B, Im_Omino42, Im_Omino62});
  const QRectF climb = rectOf(Im_Omino24);
  ladder(p, climb.left() + 4, climb.right() - 4, top.at(climb.center().x()), screen.bottom());

  // The ape's platform: posts at both ends of the bars and the housing
  // that holds the four key pieces.
  const QRectF bars = rectOf(Im_SbarreSu);
  p.fillRect(QRectF(bars.left() - 4, bars.top() - 6, 3, bars.height() + 12), kWood);
  const QRectF keys = rectOf(Im_Key1).united(rectOf(Im_Key4));
  p.setPen(QPen(kWood.darker(130), 1.0));
  p.setBrush(kGlass.darker(112));
  p.drawRect(keys.adjusted(-1.5, -2.5, 1.5, 1.5));
  p.setBrush(Qt::NoBrush);
  p.fillRect(QRectF(bars.left() - 4, bars.bottom() + 1, bars.width() + 8, 2), kWood);

  // Top girder, from below the lever to the gap before the crane.
  const QRectF lever = rectOf(Im_LevaGiu);
  const QRectF lastPose = rectOf(Im_Omino62);
  girder(p, top, lever.left() - 6, lastPose.right() + 2, 4.0);
  // The lever's post stands on the girder at its left end.
  const QPointF pivot(lever.left() + 2, top.at(lever.left() + 2));
  p.setPen(Qt::NoPen);
  p.setBrush(kSteelDark);
  p.drawRect(QRectF(pivot.x() - 3, pivot.y() - 2, 6, 2));
  p.setBrush(kSteel);
  p.drawEllipse(QPointF(pivot.x(), pivot.y() - 2), 1.8, 1.8);

  // The crane's mast at the right edge and the ground it stands on; the
  // player is set down there after a capture.
  const QRectF setDown = rectOf(Im_Omino62E);
  const double ground = setDown.top() + setDown.height();
  const QRectF swing = rectOf(Im_Gru3);
  mast(p, screen.right() - 10, screen.right() - 2, swing.top(), ground);
  const double plinth = rectOf(Im_Omino62D).center().x() + 2;
  p.fillRect(QRectF(plinth, ground, screen.right() - plinth, screen.bottom() - ground), kConcrete);

  // Bottom girder of the upper screen, from the left edge to the gap; the
  // floor of the gap, where a missed leap and the ape land, lies lower.
  const Floor foot = floorUnder({Im_Bar14, Im_Bar24, Im_Bar34, Im_Bar44, Im_Bar54, Im_Bar64, Im_Omino24});
  const double gap = rectOf(Im_Bar64).right() + 3;
  girder(p, foot, screen.left(), gap);
  const double pit = rectOf(Im_OrcoFall).top() + rectOf(Im_OrcoFall).height() - 2;
  p.fillRect(QRectF(gap, pit, plinth - gap, screen.bottom() - pit), kConcrete.darker(115));
}

void lowerScenery(QPainter& p, const QRectF& screen) {
  const Floor middle = floorUnder({Im_Bar16, Im_Bar26, Im_Bar36, Im_Bar46, Im_Bar56, Im_Bar66,
                                   Im_Omino26, Im_Omino36, Im_Omino46, Im_Omino56, Im_Omino66});
  const Floor bottom = floorUnder({Im_Bar27, Im_Bar37, Im_Bar47, Im_Bar57, Im_Bar67, Im_Omino27,
                                   Im_Omino37, Im_Omino47, Im_Omino57, Im_Omino67});

  // The chute that brings barrels down the left edge to the middle girder.
  const QRectF chute = rectOf(Im_Bar15);
  p.setPen(QPen(kSteel, 1.2));
  const double chuteBottom = middle.at(chute.center().x()) - 4;
  p.drawLine(QPointF(chute.left() - 1.5, screen.top()), QPointF(chute.left() - 1.5, chuteBottom));
  p.drawLine(QPointF(chute.right() + 1.5, screen.top()), QPointF(chute.right() + 1.5, chuteBottom - 8));

  // Ladders: column 2 from the middle girder up through the top of the
  // screen; column 6 between the two girders.
  const QRectF up = rectOf(Im_Omino25);
  ladder(p, up.left() + 4, up.right() - 4, screen.top(), middle.at(up.center().x()));
  const QRectF right = rectOf(Im_Omino67);
  ladder(p, right.left() + 4, right.right() - 4, middle.at(right.center().x()) + 4,
         bottom.at(right.center().x()));

  girder(p, middle, screen.left(), rectOf(Im_Bar66).right() + 2);
  girder(p, bottom, screen.left(), rectOf(Im_Bar67).right() + 2);

  // The beam track: the trolleys of the beam segments run under it, and
  // hangers tie it to the ceiling.
  const Floor track = lineOver({Im_Trave2, Im_Trave3, Im_Trave4, Im_Trave5, Im_Trave6});
  const double t0 = rectOf(Im_Trave2).left() - 6, t1 = rectOf(Im_Trave6).right() + 4;
  p.setPen(QPen(kSteelDark, 0.9));
  for (double x = t0 + 8; x < t1; x += 30) p.drawLine(QPointF(x, screen.top()), track.point(x));
  p.setPen(QPen(kSteelDark, 1.8));
  p.drawLine(track.point(t0), track.point(t1));
}

}  // namespace

void drawScreen(QPainter& p, bool upper) {
  const QRectF screen = rectOf(upper ? Im_Schermo1Top : Im_Schermo2Top);
  p.save();
  p.setClipRect(screen);
  p.setRenderHint(QPainter::Antialiasing, true);
  glass(p, screen);
  if (upper)
    upperScenery(p, screen);
  else
    lowerScenery(p, screen);
  // The glass is a little darker at the edges, as an LCD under a bezel is.
  QLinearGradient shade(screen.topLeft(), screen.topLeft() + QPointF(0, 6));
  shade.setColorAt(0, QColor(0, 0, 0, 60));
  shade.setColorAt(1, QColor(0, 0, 0, 0));
  p.fillRect(screen, shade);
  QLinearGradient side(screen.topLeft(), screen.topLeft() + QPointF(5, 0));
  side.setColorAt(0, QColor(0, 0, 0, 40));
  side.setColorAt(1, QColor(0, 0, 0, 0));
  p.fillRect(screen, side);
  p.restore();
}

}  // namespace cantiere::art
