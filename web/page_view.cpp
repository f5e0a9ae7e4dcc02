// SPDX-License-Identifier: GPL-3.0-or-later
#include "web/page_view.h"

#include <algorithm>

namespace cantiere {
namespace {

// Past this many rectangles in one frame, one that covers them all costs
// less than handing each over.
constexpr std::size_t kMostRects = 48;

Rect united(const Rect& a, const Rect& b) {
  const int left = std::min(a.left, b.left), top = std::min(a.top, b.top);
  const int right = std::max(a.left + a.width, b.left + b.width);
  const int bottom = std::max(a.top + a.height, b.top + b.height);
  return {left, top, right - left, bottom - top};
}

}  // namespace

void toStraightRgba(const Image& from, const Rect& part, std::uint8_t* to) {
  for (int y = part.top; y < part.top + part.height; ++y) {
    const Pixel* row = from.row(y);
    std::uint8_t* out = to + (static_cast<std::size_t>(y) * from.width + part.left) * 4;
    for (int x = part.left; x < part.left + part.width; ++x) {
      const Pixel p = row[x];
      const unsigned a = alphaOf(p);
      const auto straight = [a](unsigned c) { return a == 255 ? c : a == 0 ? 0 : (c * 255 + a / 2) / a; };
      *out++ = static_cast<std::uint8_t>(straight(redOf(p)));
      *out++ = static_cast<std::uint8_t>(straight(greenOf(p)));
      *out++ = static_cast<std::uint8_t>(straight(blueOf(p)));
      *out++ = static_cast<std::uint8_t>(a);
    }
  }
}

PageView::PageView(const Surface& surface, std::shared_ptr<SheetArt> art, Host host,
                   std::function<Millis()> frameClock)
    : surface_(&surface),
      art_(std::move(art)),
      host_(std::move(host)),
      frameClock_(std::move(frameClock)),
      frames_(surface, [this](Element e, bool shadow) {
        // A segment under the effects is drawn by its fade's frames.
        if (pictures_) dirty(paintedRect(e, placement_.view(), shadow), !shadow);
      }) {
  fadeFrames_.reserve(8);
}

void PageView::litChanged(Element e, bool lit, Millis at, bool byHand) {
  frames_.litChanged(e, lit, at);
  if (frames_.enabled() && isLcd(e)) fadeFramesFor(at, frames_.response().settlesAt(e), byHand);
}

void PageView::pictureChanged(Element e, Millis at, bool byHand) {
  frames_.pictureChanged(e, at);
  if (frames_.enabled() && isLcd(e) && frames_.response().inTransition(e, at))
    fadeFramesFor(at, frames_.response().settlesAt(e), byHand);
}

int PageView::setViewport(double cssWidth, double cssHeight, double deviceRatio, int zoomPercent) {
  PagePlacement next = placement_;
  next.setViewport(cssWidth, cssHeight, deviceRatio, zoomPercent);
  const double scale = next.view().deviceScale();
  const int artScale = next.view().artScale();
  if (!art_->has(artScale)) return artScale;
  zoom_ = ViewScale::validZoom(zoomPercent);
  placement_ = next;
  if (!pictures_ || pictures_->scale() != scale) pictures_ = std::make_unique<PictureSet>(art_, scale);
  resize();
  return 0;
}

void PageView::artArrived(int artScale) {
  if (!pictures_ || placement_.view().artScale() != artScale) return;
  // A picture asked for before it came is remembered as missing: ask again.
  pictures_ = std::make_unique<PictureSet>(art_, pictures_->scale());
  everything();
}

bool PageView::waitingForArt() const {
  return !art_->whole(placement_.view().artScale());
}

void PageView::place(const WindowGeometry& g, bool dragging) {
  window_ = g;
  placement_.follow(g, dragging);
  resize();
}

void PageView::resize() {
  if (!pictures_ || window_.width <= 0 || window_.height <= 0) return;
  const Rect r = placement_.deviceRect();
  const bool sized = buffer_.width == r.width && buffer_.height == r.height;
  if (!sized) {
    buffer_ = Image(r.width, r.height);
    rgba_.assign(static_cast<std::size_t>(r.width) * r.height * 4, 0);
  }
  const double dpr = placement_.deviceRatio();
  host_.canvas(r.width, r.height, r.left / dpr, r.top / dpr, r.width / dpr, r.height / dpr);
  // A canvas given a new size starts out blank.
  if (!sized) everything();
}

void PageView::show(const Surface& surface, std::function<Millis()> frameClock) {
  surface_ = &surface;
  frameClock_ = std::move(frameClock);
  frames_.follow(surface, frameClock_());
  everything();
}

void PageView::setEffects(bool on) {
  frames_.setEnabled(on, frameClock_());
  everything();
}

void PageView::everything() { dirty(buffer_.rect()); }

void PageView::dirty(const Rect& device, bool drawNow) {
  const Rect r = intersected(device, buffer_.rect());
  if (isEmpty(r)) return;
  // A segment's frame repaints what its change already asked for.
  const auto covers = [&r](const Rect& d) {
    return d.left <= r.left && d.top <= r.top && d.left + d.width >= r.left + r.width &&
           d.top + d.height >= r.top + r.height;
  };
  if (std::any_of(dirty_.begin(), dirty_.end(), covers)) {
    if (drawNow) request();
    return;
  }
  if (dirty_.size() >= kMostRects) {
    Rect all = r;
    for (const Rect& d : dirty_) all = united(all, d);
    dirty_.assign(1, all);
  } else {
    dirty_.push_back(r);
  }
  if (drawNow) request();
}

void PageView::request() {
  if (frameRequested_ || stepping_) return;
  frameRequested_ = true;
  host_.requestFrame();
}

void PageView::frame() {
  frameRequested_ = false;
  fadeRequested_ = false;
  if (!pictures_ || waitingForArt()) return;
  const Millis now = frameClock_();
  // What this step repaints is drawn now, by this frame.
  stepping_ = true;
  if (frames_.running()) frames_.step(now);
  stepping_ = false;
  if (!dirty_.empty()) {
    std::optional<LcdLook> look;
    if (frames_.enabled()) look.emplace(LcdLook{frames_.response(), now});
    const Composition c{*surface_, *pictures_, placement_.view(), look ? &*look : nullptr, true};
    for (const Rect& r : dirty_) {
      compose(buffer_, c, r);
      toStraightRgba(buffer_, r, rgba_.data());
      host_.put(rgba_.data(), buffer_.width, buffer_.height, r.left, r.top, r.width, r.height);
    }
    dirty_.clear();
  }
  // Time standing still (a replay held at its end) ends the fades too.
  if (!frames_.running()) {
    fadeFrames_.clear();
    return;
  }
  fadeFrames_.erase(fadeFrames_.begin(),
                    std::find_if(fadeFrames_.begin(), fadeFrames_.end(),
                                 [now](const FadeFrame& f) { return f.at > now; }));
  // Turned on in the middle of a fade: its last instant is enough.
  if (fadeFrames_.empty()) {
    const Millis end = frames_.response().settledAt();
    fadeFrames_.push_back({end, end, end});
  }
  requestFadeFrame(now);
}

void PageView::fadeFramesFor(Millis at, Millis settles, bool byHand) {
  if (!pictures_) return;
  // A person's change that also drew something at once (a button pressed)
  // has shown itself already.
  const bool prompt = byHand && !frameRequested_;
  const Millis first = prompt ? kHandFrameMs : kFirstFadeFrameMs;
  if (settles - at > first) {
    addFadeFrame({at + first, at + kEarliestFirstFrameMs, at + (prompt ? first : kLatestFirstFrameMs)});
  }
  const Millis end = std::max(at, settles);
  addFadeFrame({end, end, end});
  requestFadeFrame(frameClock_());
}

void PageView::addFadeFrame(FadeFrame f) {
  // One frame serves both where their spans meet, as early as they allow.
  const auto shared = std::find_if(fadeFrames_.begin(), fadeFrames_.end(), [&f](const FadeFrame& d) {
    return std::max(d.earliest, f.earliest) <= std::min(d.latest, f.latest);
  });
  if (shared == fadeFrames_.end()) {
    fadeFrames_.push_back(f);
  } else {
    const Millis earliest = std::max(shared->earliest, f.earliest);
    const Millis latest = std::min(shared->latest, f.latest);
    *shared = {std::clamp(std::min(shared->at, f.at), earliest, latest), earliest, latest};
  }
  std::sort(fadeFrames_.begin(), fadeFrames_.end(),
            [](const FadeFrame& a, const FadeFrame& b) { return a.at < b.at; });
}

void PageView::requestFadeFrame(Millis now) {
  // A frame already on its way asks for the next itself.
  if (frameRequested_ || stepping_ || fadeFrames_.empty()) return;
  const Millis in = fadeFrames_.front().at - now;
  if (in <= 0) {
    request();
    return;
  }
  fadeRequested_ = true;
  host_.requestFrameAfter(static_cast<int>(in));
}

bool PageView::onCase(double cssX, double cssY) const {
  int x = 0, y = 0;
  if (buffer_.empty() || !placement_.bufferPoint(cssX, cssY, x, y)) return false;
  if (x >= buffer_.width || y >= buffer_.height) return false;
  return alphaOf(buffer_.at(x, y)) != 0;
}

}  // namespace cantiere
