// SPDX-License-Identifier: GPL-3.0-or-later
// Keying, and the picture set: decoded as drawn, at the art scale in use,
// the larger art replaced by the 1x one enlarged, problems one line each.
#include <gtest/gtest.h>

#include <memory>

#include "render/keying.h"
#include "render/picture_set.h"
#include "tests/render/fake_art.h"

namespace cantiere::test {
namespace {

std::string all(const std::vector<std::string>& lines) {
  std::string s;
  for (const auto& l : lines) s += l + "|";
  return s;
}

TEST(Keying, TheBottomLeftColourIsLeftOutAndMasksFadeToTheirGround) {
  Image picture(3, 2, rgb(255, 0, 0));
  picture.pixels[1] = rgb(0, 0, 255);
  const Image k = keyed(picture);
  EXPECT_EQ(k.pixels, (std::vector<Pixel>{0, rgb(0, 0, 255), 0, 0, 0, 0}));

  const struct {
    std::uint8_t ground, tone;
    Pixel expected;
  } tones[] = {{255, 0, rgb(0, 0, 0)},         {255, 255, 0},   {255, 100, argb(155, 0, 0, 0)},
               {0, 200, argb(200, 200, 200, 200)}, {0, 0, 0},   {128, 128, 0},
               {128, 127, rgb(127, 127, 127)}};
  for (const auto& t : tones) {
    GreyImage mask(2, 2);
    mask.pixels = {t.tone, t.tone, t.ground, t.tone};  // bottom left is the ground
    EXPECT_EQ(maskKeyed(mask).at(0, 0), t.expected) << int(t.ground) << " " << int(t.tone);
  }
}

// The LCD figure Im_Heart1 (5 x 7) and the photograph Puls_Time (20 x 12).
struct Shelf : ::testing::Test {
  std::shared_ptr<FakeArt> art = std::make_shared<FakeArt>();
  void put(const std::string& path, Art a) { art->files[path] = std::move(a); }
};

TEST_F(Shelf, NothingIsReadUntilDrawnThenOnlyAtTheArtScaleInUse) {
  const struct {
    double scale;
    const char* path;
  } cases[] = {{1, "lcd/Im_Heart1.pbm"},    {1.25, "lcd/2x/Im_Heart1.png"}, {1.5, "lcd/2x/Im_Heart1.png"},
               {1.75, "lcd/2x/Im_Heart1.png"}, {2.5, "lcd/3x/Im_Heart1.png"}, {4, "lcd/4x/Im_Heart1.png"}};
  put("lcd/Im_Heart1.pbm", colourArt(5, 7, rgb(0, 0, 0)));
  for (int n = 2; n <= 4; ++n) put("lcd/" + std::to_string(n) + "x/Im_Heart1.png", maskArt(5 * n, 7 * n, 0));
  for (const auto& c : cases) {
    art->reads.clear();
    const PictureSet set(art, c.scale);
    EXPECT_TRUE(art->reads.empty());
    const Image* heart = set.picture(Im_Heart1, true);
    ASSERT_NE(heart, nullptr) << c.scale;
    EXPECT_EQ(art->reads, std::vector<std::string>{c.path}) << c.scale;
    EXPECT_EQ(heart->width, PictureSet::scaledLength(5, c.scale)) << c.scale;
    EXPECT_EQ(heart->height, PictureSet::scaledLength(7, c.scale)) << c.scale;
    EXPECT_EQ(set.picture(Im_Heart1, true), heart) << "kept once made";
    EXPECT_EQ(art->reads.size(), 1u);
  }
}

TEST_F(Shelf, AMissingLargerPictureIsTheOneTimesOneEnlargedAndSaidOnce) {
  put("lcd/Im_Heart1.pbm", colourArt(5, 7, rgb(0, 0, 0)));
  put("pictures/Puls_Time.jpg", colourArt(20, 12, rgb(9, 9, 9)));
  const PictureSet two(art, 2);
  ASSERT_NE(two.picture(Im_Heart1, true), nullptr) << "from 2x on, the 1x picture stands in";
  EXPECT_EQ(two.picture(Im_Heart1, true)->width, 10);
  const PictureSet set(art, 3);
  const Image* heart = set.picture(Im_Heart1, true);
  ASSERT_NE(heart, nullptr);
  EXPECT_EQ(heart->width, 15);
  EXPECT_EQ(heart->height, 21);
  set.picture(Im_Heart1, false);  // read again for the other look: no second line
  ASSERT_NE(set.picture(Puls_Time, false), nullptr);
  EXPECT_EQ(set.picture(Puls_Time, false)->width, 60);
  const std::string lines = all(set.problems());
  EXPECT_NE(lines.find("Im_Heart1: cannot open lcd/3x/Im_Heart1.png|"), std::string::npos) << lines;
  EXPECT_EQ(lines.find("Im_Heart1:", lines.find("Im_Heart1:") + 1), std::string::npos) << lines;
  EXPECT_NE(lines.find("Puls_Time: cannot open pictures/3x/Puls_Time.jpg|"), std::string::npos);
  EXPECT_EQ(set.picture(Im_Heart2, true), nullptr) << "missing at every scale draws nothing";
  EXPECT_NE(lines.find("Im_Heart2: cannot open lcd/Im_Heart2.pbm|"), std::string::npos);
}

TEST_F(Shelf, AWrongSizePictureIsSaidAndKeepsItsProportionToTheElement) {
  put("lcd/Im_Heart2.pbm", colourArt(3, 2, rgb(0, 0, 0)));  // an 8 x 8 element
  put("lcd/2x/Im_Heart2.png", maskArt(4, 4, 0));
  const struct {
    double scale;
    int width;
    const char* line;
  } cases[] = {{1, 3, "Im_Heart2: picture is 3x2, the element 8x8 at 1x"},
               {2, 4, "Im_Heart2: picture is 4x4, the element 16x16 at 2x"},
               {1.5, 3, "Im_Heart2: picture is 4x4, the element 16x16 at 2x"}};
  for (const auto& c : cases) {
    const PictureSet set(art, c.scale);
    const Image* heart = set.picture(Im_Heart2, true);
    ASSERT_NE(heart, nullptr) << c.scale;
    EXPECT_EQ(heart->width, c.width) << c.scale;
    EXPECT_NE(all(set.problems()).find(c.line), std::string::npos) << all(set.problems());
  }
}

TEST_F(Shelf, AFigureIsAMaskAtTwiceAndLargerAndColourAtItsOwnSize) {
  // A grey figure on white: as a mask its grey is partly transparent black,
  // as colour an opaque grey, whichever way the file stored it.
  Art colour = colourArt(10, 14, rgb(100, 100, 100));
  colour.colour.row(13)[0] = rgb(255, 255, 255);
  Art mask = maskArt(8, 8, 100);
  mask.mask.row(7)[0] = 255;
  put("lcd/2x/Im_Heart1.png", colour);
  put("lcd/Im_Heart2.pbm", mask);
  EXPECT_EQ(PictureSet(art, 2).picture(Im_Heart1, true)->at(0, 0), argb(155, 0, 0, 0));
  EXPECT_EQ(PictureSet(art, 1).picture(Im_Heart2, true)->at(0, 0), rgb(100, 100, 100));
}

TEST_F(Shelf, ProblemsNameEveryPictureOnceAndSetPictureReplacesOne) {
  const PictureSet none(art, 1);
  int own = 0;
  for (int i = 0; i < ElementCount; ++i) {
    const PictureKind k = info(static_cast<Element>(i)).picture;
    own += k == PictureKind::Photo || k == PictureKind::Bitmap;
  }
  EXPECT_EQ(static_cast<int>(none.problems().size()), own);
  EXPECT_EQ(none.problems().size(), static_cast<std::size_t>(own)) << "asked twice, said once";

  put("pictures/Puls_Time.jpg", colourArt(20, 12, argb(9, 9, 9, 9)));
  const PictureSet photos(art, 1);
  const Image* keyedFirst = photos.picture(Puls_Time, true);
  ASSERT_NE(keyedFirst, nullptr) << "a photograph keyed before it was drawn opaque";
  EXPECT_EQ(keyedFirst->width, 20);
  EXPECT_EQ(photos.picture(Puls_Time, true), keyedFirst) << "kept once made";
  EXPECT_EQ(photos.picture(Puls_Time, false)->at(3, 3), rgb(9, 9, 9)) << "opaque whatever its art said";

  PictureSet set(2);
  set.setPicture(Puls_GameA, maskArt(40, 24, 90));
  EXPECT_EQ(set.picture(Puls_GameA, false)->at(3, 3), rgb(90, 90, 90)) << "opaque as grey";
  for (const Pixel p : set.picture(Puls_GameA, true)->pixels) ASSERT_EQ(p, kTransparent) << "all ground";
  Art ape = maskArt(16, 16, 100);
  ape.mask.row(15)[0] = 255;
  set.setPicture(Im_Heart2, ape);
  const PictureSet larger = set.atScale(3);
  EXPECT_EQ(larger.picture(Puls_GameA, false)->width, 60);
  EXPECT_EQ(larger.picture(Puls_GameA, false)->at(59, 35), rgb(90, 90, 90));
  EXPECT_EQ(larger.picture(Im_Heart2, true)->at(0, 0), argb(155, 0, 0, 0))
      << "the keyed mask resampled, not the opaque one keyed";
}

}  // namespace
}  // namespace cantiere::test
