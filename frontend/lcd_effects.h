// SPDX-License-Identifier: GPL-3.0-or-later
// The look of a segment LCD over a printed backdrop: each segment's ink is a
// deep blue-grey that lets the print show faintly through, casts a soft
// shadow on the backdrop behind the liquid crystal, and a faint sheen lies
// on the glass. Sizes are in device pixels; `scale` is device pixels per
// window pixel, so the shadow keeps its place and softness at any size.
#pragma once

#include <QImage>
#include <QPainter>
#include <QRect>

namespace cantiere {

// One segment as it stands at an instant: the picture it holds (keyed, as
// a transparent element draws it, made for the device scale) at a level
// from 0 (clear) to 1 (dark), and the picture it held before, still fading.
// Either may be null.
struct SegmentLayers {
  const QImage* picture = nullptr;
  float level = 0;
  const QImage* leaving = nullptr;
  float leavingLevel = 0;
  float sharedLevel = 0;  // of the pixels the two pictures share
};

// The shadow's offset down and to the right, and its opacity, at 1x.
inline constexpr double kShadowOffset = 1.5;
inline constexpr double kShadowOpacity = 0.25;

// The rectangle a segment at `rect` may paint, its shadow included.
QRect segmentPaintRect(const QRect& rect, double scale);

// The segment's shadow on the backdrop. All shadows go down before any ink,
// since every segment lies above the backdrop.
void drawSegmentShadow(QPainter& painter, const QRect& rect, const SegmentLayers& layers,
                       double scale);
// The segment's ink. Where the leaving and the new picture share a pixel
// (a digit's common strokes) it takes the shared level instead of dipping.
void drawSegmentInk(QPainter& painter, const QRect& rect, const SegmentLayers& layers,
                    double scale);

// The glass's sheen over one screen: static, drawn over everything on it.
void drawGlass(QPainter& painter, const QRect& screen, double scale);

}  // namespace cantiere
