// SPDX-License-Identifier: GPL-3.0-or-later
// The page's own rules, with no browser: what the storage reads back, where
// the case lies on a viewport and how a drag is kept on it, which part of
// the case a thumb plays, what the canvas is handed and when.
#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "common/sound/sound_synth.h"
#include "web/page_pads.h"
#include "web/page_placement.h"
#include "web/page_view.h"
#include "web/stored_value.h"
#include "web/wav_frames.h"

namespace cantiere {
namespace {

TEST(StoredValue, OnlyDecimalIntegersRead) {
  const std::map<std::string, std::optional<std::int32_t>> table = {
      {"0", 0}, {"57", 57}, {"-1", -1}, {"+12", 12}, {"2147483647", 2147483647},
      {"-2147483648", -2147483648}, {"2147483648", std::nullopt}, {"", std::nullopt},
      {"abc", std::nullopt}, {"12 ", std::nullopt}, {" 12", std::nullopt}, {"1e3", std::nullopt},
      {"+-1", std::nullopt}, {"+", std::nullopt}, {"0x10", std::nullopt}};
  for (const auto& [text, value] : table) EXPECT_EQ(parseStoredInt(text), value) << '"' << text << '"';
  // One value whatever the case of its name.
  EXPECT_EQ(storageKey("HiScoreA"), storageKey("HiscoreA"));
  EXPECT_NE(storageKey("HiScoreA"), storageKey("HiScoreB"));
}

TEST(PagePlacement, TheCaseFitsTheViewportAndIsSharp) {
  struct Case {
    double width, height, ratio;
    int zoom;
    double deviceScale;  // device pixels per catalogue pixel
  };
  for (const Case c : {Case{1300, 1300, 1, 100, 1}, Case{1300, 1300, 2, 100, 2},
                       Case{1300, 1300, 1, 200, 2}, Case{928, 1142, 1, 200, 2},
                       Case{464, 2000, 1, 200, 1}, Case{390, 844, 3, 100, 390.0 * 3 / 464},
                       Case{800, 285.5, 1, 100, 0.5}}) {
    PagePlacement p;
    p.setViewport(c.width, c.height, c.ratio, c.zoom);
    EXPECT_DOUBLE_EQ(p.view().deviceScale(), c.deviceScale) << c.width << "x" << c.height;
    p.follow({0, 0, 464, 571}, false);
    const Rect d = p.deviceRect();
    // Never beyond the viewport's device pixels.
    EXPECT_LE(d.width, c.width * c.ratio + 0.5);
    EXPECT_LE(d.height, c.height * c.ratio + 0.5);
    // The model's screen is the viewport in catalogue pixels.
    EXPECT_NEAR(p.screen().width, c.width * c.ratio / c.deviceScale, 1.0);
  }
}

TEST(PagePlacement, AShrunkViewportKeepsTheCaseOnItAndADragStaysInside) {
  PagePlacement p;
  p.setViewport(1000, 800, 1, 100);
  p.follow({600, 300, 464, 571}, false);  // would reach 1064 x 871
  EXPECT_EQ(p.shown().left, 1000 - 464);
  EXPECT_EQ(p.shown().top, 800 - 571);
  // Pressed 10, 20 into the case: the pointer is held where the window
  // would stay within 0 .. screen - size.
  const Rect base{0, 0, 464, 571};
  const Rect s = p.shown();
  EXPECT_EQ(p.heldInside({-5000, -5000}, base, 10, 20), (CataloguePoint{10 - s.left, 20 - s.top}));
  EXPECT_EQ(p.heldInside({5000, 5000}, base, 10, 20),
            (CataloguePoint{10 - s.left + 1000 - 464, 20 - s.top + 800 - 571}));
  // At the viewport's right and bottom edges, only left and up are free.
  EXPECT_EQ(p.heldInside({5, 5}, base, 10, 20), (CataloguePoint{5, 5}));
  EXPECT_EQ(p.heldInside({15, 25}, base, 10, 20), (CataloguePoint{10, 20}));
  // An overlay lies within the case: its own place counts.
  EXPECT_EQ(p.heldInside({-5000, -5000}, {127, 82, 208, 130}, 10, 20).x, 127 + 10 - s.left);
  // During a drag the offset stays, so the model's moves show one for one.
  p.follow({590, 280, 464, 571}, true);
  EXPECT_EQ(p.shown().left, 1000 - 464 - 10);
  // A point of the viewport is the client point of the case shown there.
  p.setViewport(1000, 800, 2, 100);
  p.follow({100, 50, 464, 571}, false);
  EXPECT_EQ(p.clientPoint(100 + 0.4, 50 + 0.9), (CataloguePoint{0, 0}));
  EXPECT_EQ(p.clientPoint(100 + 10.6, 50 + 571.2), (CataloguePoint{10, 571}));
  int x = 0, y = 0;
  EXPECT_TRUE(p.bufferPoint(100.6, 50, x, y));
  EXPECT_EQ(x, 1);
  EXPECT_FALSE(p.bufferPoint(99.9, 50, x, y));
}

TEST(PagePads, TheCaseControlsUnderAThumb) {
  using In = HandheldInput;
  struct Case {
    int x, y;
    In input;
  };
  // The pad's middle is 64, 485, its arms reach 30 out; the jump button's
  // middle 402, 485. A touch reaches a little beyond each.
  for (const Case c : {Case{40, 485, In::Left}, Case{90, 485, In::Right}, Case{64, 460, In::Up},
                       Case{64, 510, In::Down}, Case{20, 485, In::Left}, Case{64, 532, In::Down},
                       Case{402, 485, In::Jump}, Case{425, 500, In::Jump}, Case{402, 520, In::None},
                       Case{397, 334, In::None}, Case{232, 150, In::None}, Case{150, 485, In::None}})
    EXPECT_EQ(PagePads::caseControl(c.x, c.y), c.input) << c.x << "," << c.y;
}

TEST(WebAudio, EverySampleIsItsWavFilesFrames) {
  for (const SoundFile& f : makeSoundFiles()) {
    const std::int16_t* frames = nullptr;
    int count = 0, rate = 0;
    ASSERT_TRUE(wavFrames(f.wav, frames, count, rate)) << f.name;
    EXPECT_EQ(rate, 22050) << f.name;
    EXPECT_EQ(count, static_cast<int>(f.wav.size() - 44) / 2) << f.name;
    EXPECT_NEAR(count * 1000.0 / rate, f.ms, 0.1) << f.name;
  }
  const std::string good = makeSoundFiles().front().wav;
  const std::int16_t* frames = nullptr;
  int count = 0, rate = 0;
  // Damaged: cut short, another format, no data.
  for (std::string bad : {good.substr(0, 30), good.substr(0, 44 + 1) + "", std::string("RIFFxxxxWAVE")}) {
    if (bad.size() == 45) bad[40] = '\x7f';  // a data chunk longer than the file
    EXPECT_FALSE(wavFrames(bad, frames, count, rate)) << bad.size();
  }
  std::string stereo = good;
  stereo[22] = 2;
  EXPECT_FALSE(wavFrames(stereo, frames, count, rate));
}

TEST(PageView, StraightRgbaAsTheSnapshotWritesIt) {
  Image image(4, 1);
  image.pixels = {argb(255, 10, 20, 30), 0, argb(128, 64, 32, 0), argb(1, 1, 0, 1)};
  std::vector<std::uint8_t> rgba(16, 7);
  toStraightRgba(image, {1, 0, 3, 1}, rgba.data());
  EXPECT_EQ(rgba, (std::vector<std::uint8_t>{7, 7, 7, 7, 0, 0, 0, 0, 128, 64, 0, 128, 255, 0, 255, 1}));
}

// A canvas that records what it is handed.
struct Canvas {
  int frames = 0;
  int after = 0;  // the delay of the last frame asked for later, in ms
  std::optional<Millis> due;  // when the frame last asked for is drawn
  std::vector<Rect> puts;
  Millis now = 0;
  Surface surface;
  std::shared_ptr<SheetArt> art = std::make_shared<SheetArt>();
  std::unique_ptr<PageView> view;

  explicit Canvas(bool wholeSheet = true) {
    art->completed(1, wholeSheet);
    view = std::make_unique<PageView>(
        surface, art,
        PageView::Host{[](int, int, double, double, double, double) {},
                       [this](const std::uint8_t*, int, int, int x, int y, int w, int h) { puts.push_back({x, y, w, h}); },
                       [this] { ++frames, due = now; }, [this](int ms) {
                         ++frames;
                         after = ms;
                         due = now + ms;
                       }},
        [this] { return now; });
  }
  void frame() {
    puts.clear();
    view->frame();
  }
};

TEST(PageView, TheCaseWaitsForTheRestOfItsPictures) {
  Canvas c(false);  // the launcher's sheet only
  EXPECT_EQ(c.view->setViewport(1000, 1000, 1, 100), 0);
  c.view->place({0, 0, 464, 300}, false);
  c.frame();
  EXPECT_TRUE(c.puts.empty());
  c.view->artArrived(2);  // another scale's: still nothing
  c.frame();
  EXPECT_TRUE(c.puts.empty());
  c.art->completed(1);
  c.view->artArrived(1);
  EXPECT_TRUE(c.view->frameWanted());
  c.frame();
  ASSERT_EQ(c.puts.size(), 1u);
  EXPECT_EQ(c.puts[0].height, 300);
}

TEST(PageView, DrawsOnlyWhatChangedAndOnlyWhileItMoves) {
  Canvas c;
  EXPECT_EQ(c.view->setViewport(1000, 1000, 1, 100), 0);
  EXPECT_EQ(c.view->setViewport(1000, 1000, 2, 100), 2);  // that sheet is still to come
  c.view->place({0, 0, 464, 571}, false);
  ASSERT_EQ(c.frames, 1);
  c.frame();
  EXPECT_EQ(c.puts.size(), 1u);  // a new canvas: everything
  EXPECT_EQ(c.puts[0].width, 464);
  c.frame();
  EXPECT_TRUE(c.puts.empty());  // nothing changed
  EXPECT_FALSE(c.view->frameWanted());
  // A segment lights: its rectangle (with its shadow), then frames while it
  // darkens, then none.
  c.surface.set(Im_Bar46, true);
  c.view->litChanged(Im_Bar46, true, 0);
  EXPECT_EQ(c.frames, 2);
  c.frame();
  ASSERT_EQ(c.puts.size(), 1u);
  const Rect r = paintedRect(Im_Bar46, ViewScale(100, 1), true);
  EXPECT_EQ(c.puts[0].left, r.left);
  EXPECT_EQ(c.puts[0].width, r.width);
  int more = 0;
  for (c.now = 33; c.view->frameWanted() && more < 20; c.now += 33, ++more) c.frame();
  EXPECT_GE(more, 1);
  EXPECT_LE(more, 2);  // settled by 40 ms
  const int framesAtRest = c.frames;
  c.now += 1000;
  EXPECT_EQ(c.frames, framesAtRest);
  // Effects off: a change is drawn once, with no frames after.
  c.view->setEffects(false);
  c.frame();
  c.surface.set(Im_Bar46, false);
  c.view->litChanged(Im_Bar46, false, c.now);
  c.frame();
  EXPECT_EQ(c.puts.size(), 1u);
  EXPECT_FALSE(c.view->frameWanted());
}

// A segment darkens in 40 ms and fades in 120. With the effects on its
// change shows 20 ms on (or with a frame due near then), 12 by hand when
// nothing else showed the hand at once, and as it settles; what switches at once is drawn at once; every settling is
// drawn on its instant, and a late timer's frame shows its own instant.
TEST(PageView, AFadeIsDrawnAsItShowsAndAsItSettles) {
  struct Change {
    Millis at;
    Element e;
    bool lit;
    bool byHand = false;
  };
  struct Case {
    std::vector<Change> changes;
    Millis late;  // every timer fires this much after its time
    std::vector<Millis> frames;
  };
  const Case cases[] = {
      {{{0, Im_Bar46, true}}, 0, {40}},
      {{{0, Im_Bar47, false}}, 0, {20, 120}},
      {{{0, Im_Bar46, true}, {0, Im_Bar47, false}}, 0, {40, 120}},  // a barrel rolls on
      {{{0, Im_Bar47, false}, {0, Im_Bar46, true}}, 0, {40, 120}},
      {{{0, Im_Bar46, true, true}, {0, Im_Bar47, false, true}}, 0, {12, 40, 120}},  // a step
      // A jump: its button is drawn at once, which shows the key.
      {{{0, Puls_Jump, false, true}, {0, Im_Bar46, true, true}, {0, Im_Bar47, false, true}}, 0,
       {0, 40, 120}},
      {{{0, Im_Bar47, false}, {100, Im_Bar46, true}}, 0, {20, 120, 140}},
      {{{0, Im_Bar47, false}, {10, Im_Bar46, true}}, 0, {20, 50, 120}},
      {{{0, Im_Bar47, false}}, 30, {50, 150}},
  };
  for (const Case& k : cases) {
    Canvas c;
    c.view->setViewport(1000, 1000, 1, 100);
    c.view->place({0, 0, 464, 571}, false);
    for (Element e : {Im_Bar47, Puls_Jump}) c.surface.set(e, true), c.view->litChanged(e, true, 0);
    c.now = 500;  // long settled
    c.frame();
    ASSERT_FALSE(c.view->frameWanted());
    c.due.reset();
    std::vector<Millis> seen;
    std::size_t next = 0;
    for (int guard = 0; guard < 20 && (next < k.changes.size() || c.view->frameWanted()); ++guard) {
      const bool change = next < k.changes.size() &&
                          (!c.view->frameWanted() || 1000 + k.changes[next].at <= *c.due + k.late);
      if (change) {
        const Change& ch = k.changes[next++];
        c.now = 1000 + ch.at;
        c.surface.set(ch.e, ch.lit);
        c.view->litChanged(ch.e, ch.lit, c.now, ch.byHand);
        continue;
      }
      c.now = std::max(c.now, *c.due + (*c.due > c.now ? k.late : 0));
      c.frame();
      EXPECT_FALSE(c.puts.empty()) << "a frame that draws nothing at " << c.now;
      seen.push_back(c.now - 1000);
    }
    EXPECT_EQ(seen, k.frames) << k.changes.size() << " changes, late " << k.late;
  }
}

}  // namespace
}  // namespace cantiere
