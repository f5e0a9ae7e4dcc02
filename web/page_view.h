// SPDX-License-Identifier: GPL-3.0-or-later
// The handheld drawn on the page's canvas by the renderer: a buffer of the
// canvas's device pixels, composed only where something changed (a
// segment, a digit, a fade's frame) and handed over a rectangle at a time.
// No browser here: the page is a set of callbacks, so the rules of what is
// drawn when can be tested anywhere.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "common/lcd/lcd_frames.h"
#include "render/compositor.h"
#include "web/page_placement.h"
#include "web/sheet_art.h"

namespace cantiere {

class PageView {
 public:
  struct Host {
    // The canvas's backing store (device pixels) and its CSS place and size.
    std::function<void(int deviceWidth, int deviceHeight, double left, double top, double width,
                       double height)>
        canvas;
    // Straight-alpha RGBA rows of `stride` pixels; the part (x, y, w, h) is new.
    std::function<void(const std::uint8_t* rgba, int stride, int rows, int x, int y, int w, int h)> put;
    // A frame, please: frame() once the changes under way are all made;
    // or one `ms` later.
    std::function<void()> requestFrame;
    std::function<void(int ms)> requestFrameAfter;
  };

  PageView(const Surface& surface, std::shared_ptr<SheetArt> art, Host host,
           std::function<Millis()> frameClock);

  // The viewport or the chosen size changed. The art scale it needs, when
  // its sheet is not there yet (nothing changes until it is), else 0.
  int setViewport(double cssWidth, double cssHeight, double deviceRatio, int zoomPercent);
  const PagePlacement& placement() const { return placement_; }
  int zoomPercent() const { return zoom_; }

  // The rest of `artScale`'s pictures came: what waited for them is drawn.
  void artArrived(int artScale);

  // The model's window (or a replay's) moved or changed size.
  void place(const WindowGeometry& g, bool dragging);

  // The surface's changes, stamped with their virtual instant; `byHand`
  // when a person's key, touch or controller made them.
  void litChanged(Element e, bool lit, Millis at, bool byHand = false);
  void pictureChanged(Element e, Millis at, bool byHand = false);
  // Draws `surface` from now on (a replay's, or the program's own again),
  // its segments settled as they are, on `frameClock`.
  void show(const Surface& surface, std::function<Millis()> frameClock);

  bool effects() const { return frames_.enabled(); }
  void setEffects(bool on);

  // An animation frame: what changed since the last one, composed and put.
  void frame();
  bool frameWanted() const { return frameRequested_ || fadeRequested_; }
  // With the effects on, a segment's change is not drawn in the instant it
  // happens, when it would look as it did. It has a first frame
  // kFirstFadeFrameMs on, and one at the instant it settles, each showing
  // its own instant exactly. A person's change that drew nothing at once
  // (a step, where a jump draws its button pressed) has its first frame
  // kHandFrameMs on, so a key shows within a display's frame. A first frame
  // may be drawn a little earlier or, not by hand, later, with a frame due
  // then (a darkening, 40 ms, is drawn only as it ends); the instants
  // segments settle are all kept. What switches at once is drawn at once,
  // the segments as they stand. In a browser every frame of a canvas costs
  // a few milliseconds of its processes whatever it draws, so a fade drawn
  // at the display's rate would cost five times as much for a ghost that
  // lasts an eighth of a second.
  static constexpr Millis kFirstFadeFrameMs = 20;
  static constexpr Millis kHandFrameMs = 12;
  static constexpr Millis kEarliestFirstFrameMs = 8;
  static constexpr Millis kLatestFirstFrameMs = 45;

  // True where the canvas shows the case (not its transparent corners).
  bool onCase(double cssX, double cssY) const;
  // The buffer as last composed (device pixels, premultiplied).
  const Image& buffer() const { return buffer_; }

 private:
  void dirty(const Rect& device, bool drawNow = true);
  void everything();
  void request();
  // A segment's change at `at` wants frames; `settles` is when it ends.
  void fadeFramesFor(Millis at, Millis settles, bool byHand);
  // A frame wanted at `at`, or anywhere from `earliest` to `latest`.
  struct FadeFrame {
    Millis at, earliest, latest;
  };
  void addFadeFrame(FadeFrame f);
  void requestFadeFrame(Millis now);
  void resize();
  // Until the rest of its pictures come, the case is not drawn: a picture
  // missing would draw as nothing.
  bool waitingForArt() const;

  const Surface* surface_;
  std::shared_ptr<SheetArt> art_;
  Host host_;
  std::function<Millis()> frameClock_;
  PagePlacement placement_;
  int zoom_ = 100;
  std::unique_ptr<PictureSet> pictures_;
  LcdFrames frames_;
  WindowGeometry window_{0, 0, 0, 0};
  Image buffer_;
  std::vector<std::uint8_t> rgba_;
  std::vector<Rect> dirty_;
  // The instants the fades under way want drawn, earliest first.
  std::vector<FadeFrame> fadeFrames_;
  bool frameRequested_ = false;
  bool fadeRequested_ = false;
  bool stepping_ = false;
};

// Premultiplied 0xAARRGGBB words as a canvas takes them: straight R, G, B, A
// bytes, rounded as the PNG writer of snapshots rounds.
void toStraightRgba(const Image& from, const Rect& part, std::uint8_t* to);

}  // namespace cantiere
