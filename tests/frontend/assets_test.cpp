// SPDX-License-Identifier: GPL-3.0-or-later
// The pictures and sounds the program ships, and the renderer that draws
// the window from them.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <tuple>
#include <vector>

#include "core/lcd/surface.h"
#include "frontend/pictures/picture_set.h"
#include "render/builtin_files.h"
#include "render/compositor.h"
#include "render/jpeg_reader.h"
#include "render/resample.h"

namespace cantiere {
namespace {

const QRgb kBlack = qRgb(0, 0, 0);
const QRgb kWhite = qRgb(255, 255, 255);

Element el(int i) { return static_cast<Element>(i); }
bool ownPicture(Element e) {
  return info(e).picture == PictureKind::Photo || info(e).picture == PictureKind::Bitmap;
}

const PictureSet& shipped() {
  static const PictureSet set = builtInPictures();
  return set;
}

std::string joined(const std::vector<std::string>& lines) {
  std::string all;
  for (const std::string& l : lines) all += l + "\n";
  return all;
}

// A picture of the set as a QImage (null for none).
QImage pictureOf(const PictureSet& set, Element owner, bool transparent) {
  const Image* image = set.picture(owner, transparent);
  return image ? toQImage(*image, !transparent) : QImage();
}

QImage rendered(const Surface& surface, const PictureSet& set, int width, int height,
                const ViewScale& view = {}) {
  return toQImage(renderWindow({surface, set, view}, width, height), true);
}

QByteArray builtIn(const char* path) {
  const FileBytes file = builtInFile(path);
  return QByteArray(reinterpret_cast<const char*>(file.data), static_cast<qsizetype>(file.size));
}

Image jpeg(const QByteArray& data, std::string* error = nullptr) {
  std::string why;
  const Image image = readJpeg(reinterpret_cast<const unsigned char*>(data.constData()),
                               static_cast<std::size_t>(data.size()), why);
  if (error) *error = why;
  return image;
}

// ---------------------------------------------------------------- pictures

TEST(ShippedPictures, EveryElementWithAPictureHasOneOfItsExactSize) {
  EXPECT_TRUE(shipped().problems().empty()) << joined(shipped().problems());
  int count = 0;
  for (int i = 0; i < ElementCount; ++i) {
    if (!ownPicture(el(i))) continue;
    ++count;
    const QImage image = pictureOf(shipped(), el(i), false);
    ASSERT_FALSE(image.isNull()) << info(el(i)).name;
    EXPECT_EQ(image.width(), info(el(i)).rect.width) << info(el(i)).name;
    EXPECT_EQ(image.height(), info(el(i)).rect.height) << info(el(i)).name;
  }
  EXPECT_EQ(count, 94);  // 6 photographs, 78 LCD figures, 10 digit glyphs
}

TEST(ShippedPictures, LcdBitmapsAreBlackFiguresOnWhite) {
  for (int i = 0; i < ElementCount; ++i) {
    const Element e = el(i);
    if (info(e).picture != PictureKind::Bitmap) continue;
    const QImage image = pictureOf(shipped(), e, false);
    ASSERT_FALSE(image.isNull()) << info(e).name;
    int black = 0, other = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x) {
        const QRgb c = image.pixel(x, y);
        black += c == kBlack;
        other += c != kBlack && c != kWhite;
      }
    EXPECT_EQ(other, 0) << info(e).name << " has grey or colour pixels";
    EXPECT_GT(black, 0) << info(e).name << " shows nothing when lit";
    EXPECT_EQ(image.pixel(0, image.height() - 1), kWhite) << info(e).name << ": the transparent colour must be white";
  }
}

TEST(ShippedPictures, PhotographsDecodeAtTheirSizes) {
  // Catalogue photographs straight from the program's own copy, opaque,
  // then the launcher's slides and the about window's picture.
  for (int i = 0; i < ElementCount; ++i) {
    if (info(el(i)).picture != PictureKind::Photo) continue;
    const QByteArray data = builtIn((std::string("pictures/") + info(el(i)).name + ".jpg").c_str());
    ASSERT_FALSE(data.isEmpty()) << info(el(i)).name;
    std::string error;
    const Image image = jpeg(data, &error);
    ASSERT_FALSE(image.empty()) << info(el(i)).name << ": " << error;
    EXPECT_EQ(image.width, info(el(i)).rect.width) << info(el(i)).name;
    EXPECT_EQ(image.height, info(el(i)).rect.height) << info(el(i)).name;
    EXPECT_TRUE(std::all_of(image.pixels.begin(), image.pixels.end(), [](Pixel p) { return alphaOf(p) == 255; }))
        << info(el(i)).name;
  }
  const struct {
    const char* name;
    QSize size;
  } others[] = {{"Im_Piccina1", {198, 110}}, {"Im_Piccina2", {198, 110}}, {"Im_Foto", {252, 84}}};
  for (const auto& o : others) {
    QString error;
    const QImage image = builtInPhoto(QString::fromLatin1(o.name), &error);
    ASSERT_FALSE(image.isNull()) << o.name << ": " << error.toStdString();
    EXPECT_EQ(image.size(), o.size) << o.name;
  }
  EXPECT_TRUE(builtInPhoto(QStringLiteral("NoSuchPicture")).isNull());
}

TEST(PictureLoading, BrokenOrMissingFilesAreReportedAndDrawNothing) {
  EXPECT_TRUE(jpeg(QByteArray()).empty());
  EXPECT_TRUE(jpeg(QByteArray("not a jpeg at all")).empty());
  const QByteArray real = builtIn("pictures/Im_Front.jpg");
  ASSERT_FALSE(real.isEmpty());
  std::string error;
  EXPECT_TRUE(jpeg(real.left(real.size() / 2), &error).empty());
  EXPECT_FALSE(error.empty());

  // A folder with one photograph cut short, one bitmap that is not a PBM and
  // everything else absent.
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  QDir(dir.path()).mkpath(QStringLiteral("pictures"));
  QDir(dir.path()).mkpath(QStringLiteral("lcd"));
  QFile cut(dir.filePath(QStringLiteral("pictures/Im_Front.jpg")));
  ASSERT_TRUE(cut.open(QIODevice::WriteOnly));
  cut.write(real.left(200));
  cut.close();
  QFile junk(dir.filePath(QStringLiteral("lcd/Im_Heart1.pbm")));
  ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
  junk.write("P1\n5 7\n0101");
  junk.close();
  QFile small(dir.filePath(QStringLiteral("lcd/Im_Heart2.pbm")));  // 8 x 8 element
  ASSERT_TRUE(small.open(QIODevice::WriteOnly));
  small.write("P1\n3 2\n1 1 1\n0 1 1\n");
  small.close();

  const PictureSet set(std::make_shared<FolderArt>(dir.path().toStdString()), 1.0);
  int withPicture = 0;
  for (int i = 0; i < ElementCount; ++i) withPicture += ownPicture(el(i));
  EXPECT_EQ(static_cast<int>(set.problems().size()), withPicture);
  EXPECT_NE(joined(set.problems()).find("Im_Front"), std::string::npos);
  EXPECT_EQ(set.picture(Im_Front, false), nullptr);
  EXPECT_EQ(set.picture(Im_Heart1, true), nullptr);
  EXPECT_NE(joined(set.problems()).find("Im_Heart2: picture is 3x2"), std::string::npos);
  EXPECT_EQ(pictureOf(set, Im_Heart2, false).size(), QSize(3, 2)) << "a picture of the wrong size still draws";

  Surface surface;  // the closed case shown, its picture broken
  surface.show(Im_Heart1);
  const QImage window = rendered(surface, set, 464, 300);
  for (QPoint p : {QPoint(0, 0), QPoint(232, 150), QPoint(146, 94)}) EXPECT_EQ(window.pixel(p), kBlack);
}

// ---------------------------------------------------------------- painter

QImage filled(int w, int h, QRgb colour) {
  QImage image(w, h, QImage::Format_RGB32);
  image.fill(colour);
  return image;
}

// A bitmap of the element's size: white, with black where `ink` says.
template <typename Ink>
QImage bitmap(Element e, Ink ink) {
  QImage image = filled(info(e).rect.width, info(e).rect.height, kWhite);
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (ink(x, y)) image.setPixel(x, y, kBlack);
  return image;
}

QPoint at(Element e, int dx, int dy) { return QPoint(info(e).rect.left + dx, info(e).rect.top + dy); }

class Painter : public ::testing::Test {
 protected:
  void SetUp() override {
    pictures.setPicture(Im_Base, toImage(filled(464, 571, kCase)));
    surface.hide(Im_Front);
    surface.show(Im_Base);
  }
  QImage open() const { return rendered(surface, pictures, 464, 571); }
  void setPicture(Element e, const QImage& image) { pictures.setPicture(e, toImage(image)); }

  const QRgb kCase = qRgb(30, 90, 110);
  PictureSet pictures;
  Surface surface;
};

TEST_F(Painter, TransparentElementShowsTheCaseWhereItsBitmapIsWhite) {
  setPicture(Im_Heart2, bitmap(Im_Heart2, [](int x, int y) { return x == y; }));
  surface.show(Im_Heart2);
  const QImage window = open();
  EXPECT_EQ(window.pixel(at(Im_Heart2, 3, 3)), kBlack);
  EXPECT_EQ(window.pixel(at(Im_Heart2, 4, 3)), kCase);
  EXPECT_EQ(window.pixel(at(Im_Heart2, 0, 7)), kCase);
  // The same picture in an element that is not transparent hides the case.
  setPicture(Puls_GameA, bitmap(Puls_GameA, [](int x, int y) { return x == y; }));
  surface.show(Puls_GameA);
  EXPECT_EQ(open().pixel(at(Puls_GameA, 4, 3)), kWhite);
}

TEST_F(Painter, TransparencyFollowsTheElementThatShowsThePicture) {
  // The glyph sources are opaque, the digit positions transparent: a glyph
  // put into a position shows its segments only.
  setPicture(Im_Num1, bitmap(Im_Num1, [](int x, int) { return x >= 7; }));
  surface.copyPicture(Im_NumPos1, Im_Num1);
  const QImage window = open();
  EXPECT_EQ(window.pixel(at(Im_NumPos1, 8, 5)), kBlack);
  EXPECT_EQ(window.pixel(at(Im_NumPos1, 2, 5)), kCase);
  EXPECT_EQ(window.pixel(at(Im_Num1, 8, 5)), kCase) << "glyph sources are never shown";
}

TEST_F(Painter, LaterElementsDrawOverEarlierOnes) {
  // Key pieces 1 and 2 overlap by three columns; 2 comes later.
  const QRgb red = qRgb(220, 0, 0), green = qRgb(0, 200, 0);
  QImage one = filled(8, 26, red), two = filled(5, 26, green);
  one.setPixel(0, 25, kWhite);
  two.setPixel(0, 25, kWhite);
  setPicture(Im_Key1, one);
  setPicture(Im_Key2, two);
  surface.show(Im_Key1);
  surface.show(Im_Key2);
  const QPoint overlap = at(Im_Key2, 1, 10);
  ASSERT_TRUE(info(Im_Key1).rect.contains(overlap.x(), overlap.y()));
  EXPECT_EQ(open().pixel(overlap), green);
  EXPECT_EQ(open().pixel(at(Im_Key1, 1, 10)), red);
  surface.hide(Im_Key2);
  EXPECT_EQ(open().pixel(overlap), red);
  // The case photograph is the lowest element: buttons lie over it.
  setPicture(Puls_Jump, filled(33, 33, green));
  surface.show(Puls_Jump);
  EXPECT_EQ(open().pixel(at(Puls_Jump, 16, 16)), green);
}

TEST_F(Painter, DrawsThePictureAnElementHoldsNow) {
  setPicture(Im_Bar24, bitmap(Im_Bar24, [](int, int y) { return y < 5; }));
  setPicture(Im_Bar54, bitmap(Im_Bar54, [](int, int y) { return y >= 5 && y < 9; }));
  surface.show(Im_Bar64);
  EXPECT_EQ(open().pixel(at(Im_Bar64, 4, 2)), kCase) << "a copy holds no picture until it is made";
  surface.copyPicture(Im_Bar64, Im_Bar24);
  EXPECT_EQ(open().pixel(at(Im_Bar64, 4, 2)), kBlack);
  EXPECT_EQ(open().pixel(at(Im_Bar64, 4, 6)), kCase);
  surface.copyPicture(Im_Bar64, Im_Bar54);
  EXPECT_EQ(open().pixel(at(Im_Bar64, 4, 2)), kCase);
  EXPECT_EQ(open().pixel(at(Im_Bar64, 4, 6)), kBlack);
  surface.clearPicture(Im_Bar64);
  EXPECT_EQ(open().pixel(at(Im_Bar64, 4, 6)), kCase);
  surface.copyPicture(Im_Bar64, Im_Bar24);
  surface.hide(Im_Bar64);
  EXPECT_EQ(open().pixel(at(Im_Bar64, 4, 2)), kCase) << "a dark element draws nothing";
}

TEST_F(Painter, NothingSpillsOutsideTheElementOrTheRegion) {
  QImage big = filled(40, 40, kBlack);
  big.setPixel(0, 39, kWhite);
  setPicture(Im_Heart1, big);  // 5 x 7 element
  surface.show(Im_Heart1);
  const QImage window = open();
  EXPECT_EQ(window.pixel(at(Im_Heart1, 4, 6)), kBlack);
  EXPECT_EQ(window.pixel(at(Im_Heart1, 5, 3)), kCase);
  EXPECT_EQ(window.pixel(at(Im_Heart1, 2, 7)), kCase);

  const QRgb marker = qRgb(1, 2, 3);
  Image image(464, 571, marker);
  compose(image, {surface, pictures}, {100, 100, 10, 10});
  EXPECT_EQ(image.at(105, 105), kCase);
  EXPECT_EQ(image.at(99, 105), marker);
  EXPECT_EQ(image.at(105, 110), marker);
}

TEST(ShippedWindow, ClosedWindowIsTheClosedCasePhotograph) {
  const Surface fresh;
  EXPECT_EQ(renderWindow({fresh, shipped()}, 464, 300), *shipped().picture(Im_Front, false));
}

// The open case with every LCD figure lit and 12:00 in the digits.
Surface everySegment() {
  Surface s;
  s.hide(Im_Front);
  s.show(Im_Base);
  for (int i = 0; i < ElementCount; ++i) {
    const Element e = el(i);
    if (info(e).picture == PictureKind::Copy) s.copyPicture(e, info(e).copyOf);
    if (isLcd(e)) s.show(e);
  }
  // 12:00, the glyph sources' pictures in the digit positions.
  s.copyPicture(Im_NumPos1, Im_Num1);
  s.copyPicture(Im_NumPos2, Im_Num2);
  s.copyPicture(Im_NumPos3, Im_Num0);
  s.copyPicture(Im_NumPos4, Im_Num0);
  return s;
}

TEST(ShippedWindow, EverySegmentLitShowsEachFigureOverTheCase) {
  const Surface s = everySegment();
  const QImage window = rendered(s, shipped(), 464, 571);
  const QImage base = pictureOf(shipped(), Im_Base, false);
  QImage ink(464, 571, QImage::Format_Grayscale8);
  ink.fill(0);
  for (int i = 0; i < ElementCount; ++i) {
    const Element e = el(i);
    if (!isLcd(e)) continue;
    const QImage picture = pictureOf(shipped(), s.picture(e), false);
    ASSERT_FALSE(picture.isNull()) << info(e).name;
    const Rect& r = info(e).rect;
    for (int y = 0; y < r.height; ++y)
      for (int x = 0; x < r.width; ++x)
        if (picture.pixel(x, y) == kBlack) ink.setPixel(r.left + x, r.top + y, 255);
  }
  int wrongInk = 0, wrongCase = 0, inked = 0;
  for (int y = 0; y < 571; ++y)
    for (int x = 0; x < 464; ++x) {
      if (qGray(ink.pixel(x, y))) {
        ++inked;
        wrongInk += window.pixel(x, y) != kBlack;
      } else {
        wrongCase += window.pixel(x, y) != base.pixel(x, y);
      }
    }
  EXPECT_GT(inked, 2000);
  EXPECT_EQ(wrongInk, 0);
  EXPECT_EQ(wrongCase, 0);
}

// ---------------------------------------------------------------- scales

TEST(ShippedPictures, EveryPictureIsMadeAtEveryArtScale) {
  for (int art : {2, 3, 4}) {
    int smooth = 0, masks = 0;
    const PictureSet set = builtInPictures(art);
    EXPECT_TRUE(set.problems().empty()) << art << "x: " << joined(set.problems());
    for (int i = 0; i < ElementCount; ++i) {
      const Element e = el(i);
      if (!ownPicture(e)) continue;
      const QImage image = pictureOf(set, e, info(e).picture == PictureKind::Bitmap);
      ASSERT_EQ(image.size(), QSize(info(e).rect.width * art, info(e).rect.height * art)) << info(e).name;
      if (info(e).picture != PictureKind::Bitmap) continue;
      // Figures on a transparent ground; those drawn from shapes (not the
      // pixel-art glyphs) anti-aliased.
      int partial = 0;
      for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) partial += qAlpha(image.pixel(x, y)) % 255 != 0;
      EXPECT_EQ(qAlpha(image.pixel(0, image.height() - 1)), 0) << info(e).name;
      ++masks;
      smooth += partial > 0;
    }
    EXPECT_GT(smooth, masks * 3 / 4) << art;
  }
  // Between the art's scales, the nearest art resampled to the element.
  const PictureSet between = builtInPictures(2.5);
  EXPECT_EQ(pictureOf(between, Im_Base, false).size(), QSize(1160, 1428));
  EXPECT_EQ(pictureOf(between, Im_Heart1, true).size(), QSize(13, 18));  // 12.5 x 17.5
}

TEST(ShippedPictures, TheIconIsMadeAtEveryDesktopSize) {
  for (int size : {16, 24, 32, 48, 64, 128, 256}) {
    const std::string path = "icons/hicolor/" + std::to_string(size) + "x" + std::to_string(size) + "/apps/cantiere.png";
    EXPECT_EQ(QImage::fromData(builtIn(path.c_str())).size(), QSize(size, size));
  }
}

TEST(PictureLoading, ALargerPictureMissingIsTheOneTimesPictureEnlarged) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  for (const char* file : {"lcd/Im_Heart2.pbm", "pictures/Puls_Time.jpg"}) {
    QDir(dir.path()).mkpath(QFileInfo(dir.filePath(file)).path());
    QFile::copy(QStringLiteral(CANTIERE_ASSETS_DIR "/") + file, dir.filePath(file));
  }
  const PictureSet set(std::make_shared<FolderArt>(dir.path().toStdString()), 3);
  EXPECT_NE(joined(set.problems()).find("lcd/3x/Im_Heart2.png"), std::string::npos);
  EXPECT_EQ(pictureOf(set, Im_Heart2, true).size(), QSize(24, 24));
  EXPECT_EQ(pictureOf(set, Puls_Time, false).size(), QSize(60, 36));
  EXPECT_EQ(set.picture(Im_Heart1, true), nullptr) << "missing at every scale";
}

// The mean difference of each channel between `big` reduced by `n` (each
// n x n block averaged) and `one`.
double reducedDifference(const QImage& big, const QImage& one, int n) {
  double total = 0;
  for (int y = 0; y < one.height(); ++y)
    for (int x = 0; x < one.width(); ++x) {
      int sum[3] = {0, 0, 0};
      for (int dy = 0; dy < n; ++dy)
        for (int dx = 0; dx < n; ++dx) {
          const QRgb c = big.pixel(x * n + dx, y * n + dy);
          sum[0] += qRed(c), sum[1] += qGreen(c), sum[2] += qBlue(c);
        }
      const QRgb c = one.pixel(x, y);
      total += std::abs(sum[0] / double(n * n) - qRed(c)) + std::abs(sum[1] / double(n * n) - qGreen(c)) +
               std::abs(sum[2] / double(n * n) - qBlue(c));
    }
  return total / (3.0 * one.width() * one.height());
}

TEST(ShippedWindow, TheLargerSizesReducedAreTheOneTimesPicture) {
  const Surface s = everySegment();
  const QImage one = rendered(s, shipped(), 464, 571);
  for (int zoom : {200, 300, 400}) {
    const ViewScale view(zoom, 1.0);
    const QImage big = rendered(s, builtInPictures(view.deviceScale()), 464, 571, view);
    ASSERT_EQ(big.size(), QSize(464, 571) * (zoom / 100));
    const double difference = reducedDifference(big, one, zoom / 100);
    EXPECT_LT(difference, 4.0) << zoom;
    std::printf("%d %%: %.2f levels from the 1x picture on average\n", zoom, difference);
  }
}

// Blur on an LCD figure drawn over a plain case: pixels between the case's
// colour and the figure's black none of whose eight neighbours is either.
// Wherever an edge crosses a pixel, one neighbour lies wholly on each side
// of it when the edge is sharp (its pixels are the share of the pixel the
// figure covers); a picture stretched with smoothing spreads each edge over
// several pixels, the middle ones with no pure neighbour.
struct Blur {
  int between = 0, blurred = 0;
};

Blur blurOf(const QImage& image, QRgb ground) {
  auto kind = [&](int x, int y) {  // 0 ground, 1 ink, 2 between
    const QRgb c = image.pixel(x, y);
    return c == ground ? 0 : c == qRgb(0, 0, 0) ? 1 : 2;
  };
  Blur blur;
  for (int y = 1; y + 1 < image.height(); ++y)
    for (int x = 1; x + 1 < image.width(); ++x) {
      if (kind(x, y) != 2) continue;
      ++blur.between;
      bool pure = false;
      for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) pure = pure || kind(x + dx, y + dy) != 2;
      blur.blurred += !pure;
    }
  return blur;
}

// Every LCD figure drawn alone over a plain case, with a margin of case.
Blur blurOf(const PictureSet& pictures, const ViewScale& view, QRgb ground) {
  Blur total;
  Image window(view.toDevice(464), view.toDevice(571));
  for (int i = 0; i < ElementCount; ++i) {
    const Element e = el(i);
    if (!isLcd(e) || info(e).picture != PictureKind::Bitmap) continue;
    Surface s;
    s.hide(Im_Front);
    s.show(Im_Base);
    s.show(e);
    const Rect rect = elementRect(e, view);
    const Rect around{rect.left - 2, rect.top - 2, rect.width + 4, rect.height + 4};
    compose(window, {s, pictures, view}, around);
    const Blur b = blurOf(toQImage(copied(window, around), true), ground);
    total.between += b.between;
    total.blurred += b.blurred;
  }
  return total;
}

TEST(ShippedWindow, SegmentEdgesAreNoWiderThanADevicePixel) {
  const QRgb ground = qRgb(200, 210, 180);
  for (int n : {2, 3, 4}) {
    const ViewScale view(100 * n, 1.0);
    PictureSet pictures = builtInPictures(n);
    pictures.setPicture(Im_Base, toImage(filled(464 * n, 571 * n, ground)));
    const Blur sharp = blurOf(pictures, view, ground);
    // The measure sees blur: the 1x pictures stretched with smoothing.
    PictureSet stretched;
    for (int i = 0; i < ElementCount; ++i)
      if (info(el(i)).picture == PictureKind::Bitmap)
        stretched.setPicture(el(i), *shipped().picture(el(i), false));
    stretched = stretched.atScale(n);
    stretched.setPicture(Im_Base, toImage(filled(464 * n, 571 * n, ground)));
    const Blur soft = blurOf(stretched, view, ground);
    std::printf("%dx: %d of %d edge pixels blurred; stretched, %d of %d\n", n, sharp.blurred, sharp.between,
                soft.blurred, soft.between);
    EXPECT_GT(sharp.between, 1000) << n;
    EXPECT_LT(sharp.blurred * 100, sharp.between) << n;
    EXPECT_GT(soft.blurred * 10, soft.between) << n;
  }
}

// The renderer's own resampling against the toolkit's smooth scaling the
// window used before: the same pixels, shrinking and growing, opaque and
// keyed, on random pictures and on the shipped art at the sizes drawn.
TEST(Resampling, MatchesTheToolkitsSmoothScaling) {
  std::uint32_t seed = 2024;
  auto random = [&seed] { return (seed = seed * 1664525u + 1013904223u) >> 8; };
  const struct {
    int w, h, toW, toH;
  } sizes[] = {{40, 40, 30, 50}, {40, 40, 50, 30}, {60, 36, 75, 45}, {64, 102, 50, 80},
               {5, 7, 7, 9},     {3, 2, 4, 3},     {1, 1, 3, 3},     {100, 3, 80, 4}};
  for (const auto& size : sizes)
    for (bool opaque : {true, false}) {
      QImage q(size.w, size.h, opaque ? QImage::Format_RGB32 : QImage::Format_ARGB32_Premultiplied);
      for (int y = 0; y < size.h; ++y)
        for (int x = 0; x < size.w; ++x) {
          const unsigned a = opaque ? 255 : random() % 3 == 0 ? 0 : random() % 256;
          q.setPixel(x, y, qRgba(random() % (a + 1), random() % (a + 1), random() % (a + 1), a));
        }
      const QImage theirs =
          q.scaled(size.toW, size.toH, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
      const QImage ours = toQImage(resampled(toImage(q), size.toW, size.toH, opaque), opaque);
      EXPECT_EQ(ours.convertToFormat(theirs.format()), theirs)
          << size.w << "x" << size.h << " to " << size.toW << "x" << size.toH << (opaque ? " opaque" : " keyed");
    }
  const PictureSet at3 = builtInPictures(3), at2 = builtInPictures(2);
  const Image* base = at3.picture(Im_Base, false);
  const Image* ape = at2.picture(Im_Orco2Up, true);
  ASSERT_TRUE(base && ape);
  for (const auto& [art, w, h] : {std::tuple{base, 1160, 1428}, std::tuple{ape, 73, 90}}) {
    const bool opaque = art == base;
    const QImage theirs = toQImage(*art, opaque).scaled(w, h, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    EXPECT_EQ(toQImage(resampled(*art, w, h, opaque), opaque).convertToFormat(theirs.format()), theirs) << w;
  }
}

// ---------------------------------------------------------------- sounds

struct Wav {
  int format = 0, channels = 0, rate = 0, bits = 0;
  std::vector<std::int16_t> samples;
  double ms() const { return rate ? samples.size() * 1000.0 / rate : 0; }
  int peak() const {
    int p = 0;
    for (auto s : samples) p = std::max(p, std::abs(static_cast<int>(s)));
    return p;
  }
};

std::uint32_t le(const unsigned char* p, int n) {
  std::uint32_t v = 0;
  for (int k = n - 1; k >= 0; --k) v = v << 8 | p[k];
  return v;
}

// Walks the RIFF chunks, as a loader does, rather than trusting a fixed
// 44-byte header.
bool readWav(const std::string& path, Wav& wav, std::string& error) {
  std::ifstream in(path, std::ios::binary);
  const std::vector<unsigned char> d((std::istreambuf_iterator<char>(in)), {});
  if (d.size() < 12 || std::memcmp(d.data(), "RIFF", 4) || std::memcmp(d.data() + 8, "WAVE", 4)) {
    error = "not a RIFF WAVE file";
    return false;
  }
  if (le(&d[4], 4) + 8 != d.size()) {
    error = "RIFF size does not match the file";
    return false;
  }
  bool fmt = false, data = false;
  for (std::size_t at = 12; at + 8 <= d.size();) {
    const std::uint32_t size = le(&d[at + 4], 4);
    if (at + 8 + size > d.size()) {
      error = "chunk runs past the end";
      return false;
    }
    const unsigned char* body = &d[at + 8];
    if (!std::memcmp(&d[at], "fmt ", 4) && size >= 16) {
      fmt = true;
      wav.format = static_cast<int>(le(body, 2));
      wav.channels = static_cast<int>(le(body + 2, 2));
      wav.rate = static_cast<int>(le(body + 4, 4));
      wav.bits = static_cast<int>(le(body + 14, 2));
    } else if (!std::memcmp(&d[at], "data", 4)) {
      data = true;
      for (std::uint32_t k = 0; k + 1 < size; k += 2)
        wav.samples.push_back(static_cast<std::int16_t>(le(body + k, 2)));
    }
    at += 8 + size + (size & 1);
  }
  if (!fmt || !data) error = "fmt or data chunk missing";
  return fmt && data;
}

Wav sample(const char* name) {
  Wav wav;
  std::string error;
  const std::string path = std::string(CANTIERE_ASSETS_DIR) + "/SOUND/" + name;
  EXPECT_TRUE(readWav(path, wav, error)) << path << ": " << error;
  return wav;
}

TEST(Sounds, EightSamplesOf16BitPcmThatAreNotSilent) {
  for (const char* name : {"Barrel.wav", "Bonus.wav", "Fall.wav", "Jump.wav", "Miss.wav", "OrcoFall.wav",
                           "Over.wav", "Step.wav"}) {
    const Wav wav = sample(name);
    EXPECT_EQ(wav.format, 1) << name;
    EXPECT_EQ(wav.bits, 16) << name;
    EXPECT_EQ(wav.channels, 1) << name;
    EXPECT_EQ(wav.rate, 22050) << name;
    EXPECT_GT(wav.peak(), 3000) << name << " is silent";
    EXPECT_LT(wav.peak(), 32767) << name << " clips";
  }
}

TEST(Sounds, LengthsFitTheirEvents) {
  // A bonus point sounds every 95 ms during a count-up; barrels advance as
  // often as every 120 ms.
  EXPECT_LT(sample("Bonus.wav").ms(), 95.0);
  EXPECT_LT(sample("Barrel.wav").ms(), 120.0);
  EXPECT_LT(sample("Barrel.wav").peak(), sample("Jump.wav").peak()) << "barrels tick softly";
  for (const char* phrase : {"Miss.wav", "Fall.wav", "OrcoFall.wav", "Over.wav"})
    EXPECT_GT(sample(phrase).ms(), 400.0) << phrase;
}

}  // namespace
}  // namespace cantiere
