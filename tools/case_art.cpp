// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/case_art.h"
#include "tools/palette.h"

#include "frontend/pictures/picture_set.h"
#include "render/compositor.h"

#include <QFont>
#include <QLinearGradient>
#include <QRadialGradient>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace cantiere::art {

QRectF rectOf(Element e) { return QRectF(toQRect(elementRect(e))); }

namespace {

constexpr int kWidth = 464;
constexpr int kOpenHeight = 571;
constexpr int kClosedHeight = 300;
constexpr int kLidFold = 271;  // the closed case lies over rows 271.. of the open one

const QRectF kLid(6, 6, 452, 260);
const QRectF kBase(6, 284, 452, 281);
const QRectF kHinge(44, 258, 376, 32);
const QRectF kLidPlate(20, 20, 424, 236);
const QRectF kBasePlate(20, 298, 424, 254);

QPainterPath rounded(const QRectF& r, double radius) {
  QPainterPath path;
  path.addRoundedRect(r, radius, radius);
  return path;
}

// Deterministic per-pixel noise, so the pressed and raised renders differ
// only where the buttons do.
int hashNoise(int x, int y, std::uint32_t seed, int amplitude) {
  std::uint32_t h = static_cast<std::uint32_t>(x) * 374761393u + static_cast<std::uint32_t>(y) * 668265263u +
                    seed * 2246822519u;
  h = (h ^ (h >> 13)) * 1274126177u;
  h ^= h >> 16;
  return static_cast<int>(h % static_cast<std::uint32_t>(2 * amplitude + 1)) - amplitude;
}

// Adds grain inside `area` of a picture drawn at `scale`: fine for plastic;
// streaked along x for brushed metal. The grain is laid out on the 1x pixel
// grid and blended between its points at larger scales, so the material
// looks the same at every scale.
void grain(QImage& image, const QPainterPath& area, std::uint32_t seed, int amplitude, bool brushed,
           int scale) {
  QImage mask(image.size(), QImage::Format_Grayscale8);
  mask.fill(0);
  {
    QPainter m(&mask);
    m.setTransform(QTransform::fromScale(scale, scale));
    m.fillPath(area, Qt::white);
  }
  const int width = image.width() / scale, height = image.height() / scale;
  std::vector<int> field(static_cast<std::size_t>(width) * height);
  for (int y = 0; y < height; ++y) {
    int streak = 0;
    for (int x = 0; x < width; ++x) {
      if (brushed) streak = std::clamp(streak + hashNoise(x, y, seed, 1), -amplitude, amplitude);
      field[static_cast<std::size_t>(y) * width + x] =
          brushed ? streak + hashNoise(x, y, seed + 7, 1) : hashNoise(x, y, seed, amplitude);
    }
  }
  auto at = [&](int x, int y) {
    return field[static_cast<std::size_t>(std::clamp(y, 0, height - 1)) * width + std::clamp(x, 0, width - 1)];
  };
  for (int y = 0; y < image.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    const uchar* in = mask.constScanLine(y);
    const double v = (y + 0.5) / scale - 0.5;
    const int y0 = static_cast<int>(std::floor(v));
    const double fy = v - y0;
    for (int x = 0; x < image.width(); ++x) {
      if (in[x] < 128) continue;
      int d;
      if (scale == 1) {
        d = at(x, y);
      } else {
        const double u = (x + 0.5) / scale - 0.5;
        const int x0 = static_cast<int>(std::floor(u));
        const double fx = u - x0;
        d = static_cast<int>(std::lround((at(x0, y0) * (1 - fx) + at(x0 + 1, y0) * fx) * (1 - fy) +
                                         (at(x0, y0 + 1) * (1 - fx) + at(x0 + 1, y0 + 1) * fx) * fy));
      }
      const QRgb c = line[x];
      line[x] = qRgb(std::clamp(qRed(c) + d, 0, 255), std::clamp(qGreen(c) + d, 0, 255),
                     std::clamp(qBlue(c) + d, 0, 255));
    }
  }
}

QFont sans(int pixels, bool bold, bool italic = false) {
  QFont f(QStringLiteral("Liberation Sans"));
  f.setPixelSize(pixels);
  f.setBold(bold);
  f.setItalic(italic);
  f.setHintingPreference(QFont::PreferFullHinting);
  return f;
}

void text(QPainter& p, const QRectF& box, int flags, const QString& s, const QFont& font, const QColor& colour) {
  p.setFont(font);
  p.setPen(colour);
  p.drawText(box, flags, s);
}

// A moulded shell: lit from the top left, a dark rim and a light edge.
void shell(QPainter& p, const QPainterPath& path, const QRectF& bounds) {
  QLinearGradient g(bounds.topLeft(), bounds.bottomRight());
  g.setColorAt(0, kShell.lighter(135));
  g.setColorAt(0.5, kShell);
  g.setColorAt(1, kShell.darker(140));
  p.fillPath(path, g);
  p.setPen(QPen(kShell.darker(220), 1.5));
  p.drawPath(path);
  p.setPen(QPen(QColor(255, 255, 255, 50), 1.0));
  p.drawPath(path.translated(0.8, 0.8).intersected(path));
}

void plate(QPainter& p, const QRectF& r) {
  QLinearGradient g(r.topLeft(), r.bottomLeft());
  g.setColorAt(0, kPlate.lighter(108));
  g.setColorAt(1, kPlate.darker(108));
  const QPainterPath path = rounded(r, 9);
  p.fillPath(path, g);
  p.setPen(QPen(kPlate.darker(150), 1.0));
  p.drawPath(path);
}

// The dark frame round a screen, with a printed red line around it.
void bezel(QPainter& p, const QRectF& screen) {
  const QRectF frame = screen.adjusted(-7, -7, 7, 7);
  p.setPen(QPen(kRed, 1.4));
  p.setBrush(Qt::NoBrush);
  p.drawPath(rounded(frame.adjusted(-4, -4, 4, 4), 7));
  QLinearGradient g(frame.topLeft(), frame.bottomLeft());
  g.setColorAt(0, kBezel.darker(130));
  g.setColorAt(1, kBezel.lighter(130));
  p.fillPath(rounded(frame, 5), g);
}

void hinge(QPainter& p, const QRectF& r) {
  QLinearGradient g(r.topLeft(), r.bottomLeft());
  g.setColorAt(0, kShell.darker(200));
  g.setColorAt(0.35, kShell.lighter(150));
  g.setColorAt(0.6, kShell);
  g.setColorAt(1, kShell.darker(220));
  p.setPen(Qt::NoPen);
  p.fillPath(rounded(r, r.height() / 2), g);
  p.setPen(QPen(kShell.darker(250), 1.0));
  for (double x : {r.left() + 60, r.right() - 60}) p.drawLine(QPointF(x, r.top() + 2), QPointF(x, r.bottom() - 2));
}

// A rubber well round a button; the same in both looks.
void well(QPainter& p, const QRectF& r, bool round) {
  const QRectF w = r.adjusted(-1.8, -1.8, 1.8, 1.8);
  QLinearGradient g(w.topLeft(), w.bottomLeft());
  g.setColorAt(0, kPlate.darker(190));
  g.setColorAt(1, kPlate.lighter(115));
  p.setPen(Qt::NoPen);
  p.setBrush(g);
  if (round)
    p.drawEllipse(w);
  else
    p.drawRoundedRect(w, w.height() / 2, w.height() / 2);
}

// A button's cap. Raised: lit top, dark lower lip, a glint. Pressed: sunk
// into its well, darker, lit from below.
void cap(QPainter& p, const QRectF& r, const QColor& colour, bool raised, bool round) {
  const QRectF c = raised ? r.adjusted(0.4, 0.2, -0.4, -0.6) : r.adjusted(1.2, 1.4, -1.2, -1.0);
  QLinearGradient g(c.topLeft(), c.bottomLeft());
  if (raised) {
    g.setColorAt(0, colour.lighter(150));
    g.setColorAt(0.55, colour);
    g.setColorAt(1, colour.darker(170));
  } else {
    g.setColorAt(0, colour.darker(230));
    g.setColorAt(1, colour.darker(120));
  }
  p.setPen(QPen(colour.darker(raised ? 200 : 260), 0.8));
  p.setBrush(g);
  const double radius = round ? c.width() / 2 : c.height() / 2;
  p.drawRoundedRect(c, radius, radius);
  if (raised) {
    const QRectF glint(c.left() + c.width() * 0.22, c.top() + c.height() * 0.14, c.width() * 0.34,
                       c.height() * 0.22);
    QRadialGradient shine(glint.center(), glint.width() / 2);
    shine.setColorAt(0, QColor(255, 255, 255, 150));
    shine.setColorAt(1, QColor(255, 255, 255, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(shine);
    p.drawEllipse(glint);
  }
}

void hole(QPainter& p, const QRectF& r) {
  QRadialGradient g(r.center() + QPointF(0.6, 0.8), r.width() / 2);
  g.setColorAt(0, QColor(8, 8, 8));
  g.setColorAt(0.7, QColor(30, 30, 30));
  g.setColorAt(1, kPlate.darker(160));
  p.setPen(QPen(kPlate.lighter(115), 0.8));
  p.setBrush(g);
  p.drawEllipse(r.adjusted(0.5, 0.5, -0.5, -0.5));
}

// The cross pad, moulded as one piece under the two arm elements.
void crossPad(QPainter& p, const QRectF& vertical, const QRectF& horizontal) {
  const QPointF centre = vertical.center();
  QRadialGradient dish(centre, vertical.height() / 2 + 6);
  dish.setColorAt(0, kPlate.darker(150));
  dish.setColorAt(0.85, kPlate.darker(125));
  dish.setColorAt(1, kPlate);
  p.setPen(Qt::NoPen);
  p.setBrush(dish);
  p.drawEllipse(centre, vertical.height() / 2 + 6, vertical.height() / 2 + 6);

  QPainterPath cross = rounded(vertical.adjusted(1, 0.5, -1, -0.5), 3).united(rounded(horizontal.adjusted(0.5, 1, -0.5, -1), 3));
  p.fillPath(cross.translated(1.5, 2), QColor(0, 0, 0, 90));
  QLinearGradient g(horizontal.topLeft(), horizontal.bottomRight());
  g.setColorAt(0, kRubber.lighter(190));
  g.setColorAt(1, kRubber);
  p.fillPath(cross, g);
  p.setPen(QPen(kRubber.darker(200), 0.8));
  p.drawPath(cross);
  p.setPen(Qt::NoPen);
  p.setBrush(kRubber.darker(150));
  p.drawEllipse(centre, 4, 4);
  // An arrow printed on each arm.
  p.setBrush(QColor(200, 200, 196));
  const double reach = vertical.height() / 2 - 6;
  for (int k = 0; k < 4; ++k) {
    QTransform t;
    t.translate(centre.x(), centre.y());
    t.rotate(90.0 * k);
    const QPolygonF arrow{QPointF(0, -reach - 2), QPointF(-3.5, -reach + 3), QPointF(3.5, -reach + 3)};
    p.drawPolygon(t.map(arrow));
  }
}

void labels(QPainter& p) {
  const QFont small = sans(8, true);
  const int right = Qt::AlignRight | Qt::AlignVCenter;
  text(p, rectOf(Puls_GameA).adjusted(-50, -2, -24, 2), right, QStringLiteral("GAME A"), small, kInk);
  text(p, rectOf(Puls_GameB).adjusted(-50, -2, -24, 2), right, QStringLiteral("GAME B"), small, kInk);
  text(p, rectOf(Puls_Time).adjusted(-50, -2, -24, 2), right, QStringLiteral("TIME"), small, kInk);
  const int centred = Qt::AlignHCenter | Qt::AlignTop;
  const QRectF alarm = rectOf(Puls_Alarm), acl = rectOf(Puls_ACL);
  text(p, QRectF(alarm.center().x() - 20, alarm.bottom() + 2, 40, 10), centred, QStringLiteral("ALARM"), small, kInk);
  text(p, QRectF(acl.center().x() - 20, acl.bottom() + 2, 40, 10), centred, QStringLiteral("ACL"), small, kInk);
  const QRectF jump = rectOf(Puls_Jump);
  text(p, QRectF(jump.center().x() - 20, jump.bottom() + 4, 40, 10), centred, QStringLiteral("JUMP"), small, kInk);
  // A thin printed rule groups the mode buttons.
  p.setPen(QPen(kRed, 1.0));
  const double x0 = rectOf(Im_Schermo2Top).right() + 16, x1 = kBasePlate.right() - 8;
  p.drawLine(QPointF(x0, rectOf(Puls_GameA).top() - 8), QPointF(x1, rectOf(Puls_GameA).top() - 8));
  p.drawLine(QPointF(x0, rectOf(Puls_Time).bottom() + 16), QPointF(x1, rectOf(Puls_Time).bottom() + 16));
}

void name(QPainter& p, const QRectF& box, int pixels) {
  const QFont font = sans(pixels, true, true);
  text(p, box.translated(1.2, 1.2), Qt::AlignCenter, QStringLiteral("Cantiere"), font, QColor(0, 0, 0, 90));
  text(p, box, Qt::AlignCenter, QStringLiteral("Cantiere"), font, kRed);
}

void speaker(QPainter& p, const QPointF& centre) {
  p.setPen(Qt::NoPen);
  for (int row = -2; row <= 2; ++row)
    for (int col = -2; col <= 2; ++col) {
      if (row * row + col * col > 5) continue;
      const QPointF c = centre + QPointF(col * 5.0, row * 5.0);
      p.setBrush(QColor(20, 20, 20));
      p.drawEllipse(c, 1.4, 1.4);
    }
}

}  // namespace

QPainterPath openOutline() {
  QPainterPath path = rounded(kLid, 18).united(rounded(kBase, 18));
  path.addRect(kHinge);
  return path.simplified();
}

QImage openCase(bool buttonsRaised, int scale) {
  QImage image(kWidth * scale, kOpenHeight * scale, QImage::Format_RGB32);
  image.fill(Qt::black);
  const QTransform scaled = QTransform::fromScale(scale, scale);
  {
    QPainter p(&image);
    p.setTransform(scaled);
    p.setRenderHint(QPainter::Antialiasing, true);
    shell(p, rounded(kLid, 18), kLid);
    shell(p, rounded(kBase, 18), kBase);
    plate(p, kLidPlate);
    plate(p, kBasePlate);
  }
  grain(image, rounded(kLid, 18).subtracted(rounded(kLidPlate, 9)), 11, 3, false, scale);
  grain(image, rounded(kBase, 18).subtracted(rounded(kBasePlate, 9)), 12, 3, false, scale);
  grain(image, rounded(kLidPlate, 9).united(rounded(kBasePlate, 9)), 13, 5, true, scale);

  QPainter p(&image);
  p.setTransform(scaled);
  p.setRenderHint(QPainter::Antialiasing, true);
  p.setRenderHint(QPainter::TextAntialiasing, true);
  hinge(p, kHinge);
  bezel(p, rectOf(Im_Schermo1Top));
  bezel(p, rectOf(Im_Schermo2Top));
  drawScreen(p, true);
  drawScreen(p, false);
  name(p, QRectF(kLidPlate.left(), 28, kLidPlate.width(), 36), 30);
  labels(p);
  crossPad(p, rectOf(Puls_Cross1), rectOf(Puls_Cross2));
  for (Element e : {Puls_GameA, Puls_GameB, Puls_Time}) {
    well(p, rectOf(e), false);
    cap(p, rectOf(e), kKey, buttonsRaised, false);
  }
  well(p, rectOf(Puls_Jump), true);
  cap(p, rectOf(Puls_Jump), kJump, buttonsRaised, true);
  hole(p, rectOf(Puls_Alarm));
  hole(p, rectOf(Puls_ACL));
  speaker(p, QPointF(402, 530));
  return image;
}

QImage closedCase(int scale) {
  QImage image(kWidth * scale, kClosedHeight * scale, QImage::Format_RGB32);
  image.fill(Qt::black);
  const QTransform scaled = QTransform::fromScale(scale, scale);
  const QRectF lid = kBase.translated(0, -kLidFold);
  const QRectF panel = lid.adjusted(26, 30, -26, -34);
  {
    QPainter p(&image);
    p.setTransform(scaled);
    p.setRenderHint(QPainter::Antialiasing, true);
    hinge(p, kHinge.translated(0, -kLidFold));
    shell(p, rounded(lid, 18), lid);
    // A raised panel across the lid.
    QLinearGradient g(panel.topLeft(), panel.bottomLeft());
    g.setColorAt(0, kShell.lighter(150));
    g.setColorAt(1, kShell.lighter(105));
    p.setPen(QPen(kShell.darker(170), 1.2));
    p.setBrush(g);
    p.drawRoundedRect(panel, 12, 12);
  }
  grain(image, rounded(lid, 18), 21, 3, false, scale);
  QPainter p(&image);
  p.setTransform(scaled);
  p.setRenderHint(QPainter::Antialiasing, true);
  p.setRenderHint(QPainter::TextAntialiasing, true);
  const QRectF badge(panel.center().x() - 120, panel.center().y() - 36, 240, 62);
  plate(p, badge);
  name(p, badge.adjusted(0, 2, 0, -14), 38);
  text(p, badge.adjusted(0, 44, 0, -3), Qt::AlignCenter, QStringLiteral("DUAL SCREEN LCD GAME"), sans(9, true), kInk);
  p.setPen(QPen(kRed, 1.4));
  p.setBrush(Qt::NoBrush);
  p.drawRoundedRect(badge.adjusted(-5, -5, 5, 5), 12, 12);
  // The finger lip at the front edge that opens the lid.
  const QRectF lip(lid.center().x() - 36, lid.bottom() - 9, 72, 7);
  QLinearGradient g(lip.topLeft(), lip.bottomLeft());
  g.setColorAt(0, kShell.darker(220));
  g.setColorAt(1, kShell.lighter(120));
  p.setPen(Qt::NoPen);
  p.setBrush(g);
  p.drawRoundedRect(lip, 3.5, 3.5);
  text(p, QRectF(lid.left(), lid.bottom() - 24, lid.width(), 12), Qt::AlignCenter, QStringLiteral("OPEN"),
       sans(8, true), kShell.lighter(170));
  return image;
}

}  // namespace cantiere::art
