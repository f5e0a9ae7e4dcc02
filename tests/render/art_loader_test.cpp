// SPDX-License-Identifier: GPL-3.0-or-later
// The native art loader: bitmaps, PNG masks and pictures, complete or not;
// files that are no regular files; the files built in; the shipped case's
// outline at the device scale.
#include <gtest/gtest.h>
#include <png.h>
#include <turbojpeg.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <set>
#include <string>

#include "render/art_files.h"
#include "render/builtin_files.h"
#include "render/compositor.h"
#include "render/jpeg_reader.h"
#include "render/pbm_reader.h"
#include "render/png_reader.h"
#include "render/png_writer.h"

namespace cantiere {
namespace {

Image pbm(const std::string& text, std::string* why = nullptr) {
  std::string error;
  Image image = readPbm(reinterpret_cast<const unsigned char*>(text.data()), text.size(), error);
  if (why) *why = error;
  return image;
}

TEST(ArtLoader, BitmapsPlainOrRawAndNothingIncomplete) {
  const Pixel k = rgb(0, 0, 0), w = rgb(255, 255, 255);
  const struct {
    std::string text;
    std::vector<Pixel> pixels;  // empty: refused
  } cases[] = {
      {"P1\n3 2\n1 1 1\n0 1 1\n", {k, k, k, w, k, k}},
      {"P1 # a comment\n3 2 110\n# another\n011", {k, k, w, w, k, k}},
      {std::string("P4\n3 2\n") + char(0xA0) + char(0x60), {k, w, k, w, k, k}},
      // A raw row's padding bits, set or not, belong to no pixel.
      {std::string("P4\n3 3\n") + char(0xFF) + std::string(2, '\0'), {k, k, k, w, w, w, w, w, w}},
      {"P1\n5 7\n0101", {}},
      {"P1\n2 1\n12", {}},
      {"P4\n9 2\n\xff\xff\xff", {}},
      {"P2\n1 1\n1", {}},
      {"P1\n0 3\n", {}},
      {"P1\n8192 8192\n1", {}},
      {"P1\n123456 2\n", {}},
      {"", {}},
  };
  for (const auto& c : cases) {
    std::string why;
    const Image image = pbm(c.text, &why);
    EXPECT_EQ(image.pixels, c.pixels) << c.text;
    EXPECT_EQ(why.empty(), !c.pixels.empty()) << c.text;
  }
}

// A picture of one colour, as our own art is made.
std::vector<unsigned char> flatJpeg(int w, int h, Pixel colour) {
  std::vector<unsigned char> rgbRows;
  for (int i = 0; i < w * h; ++i)
    rgbRows.insert(rgbRows.end(), {static_cast<unsigned char>(redOf(colour)),
                                   static_cast<unsigned char>(greenOf(colour)),
                                   static_cast<unsigned char>(blueOf(colour))});
  tjhandle tj = tjInitCompress();
  unsigned char* out = nullptr;
  unsigned long size = 0;
  tjCompress2(tj, rgbRows.data(), w, 0, h, TJPF_RGB, &out, &size, TJSAMP_444, 95, 0);
  std::vector<unsigned char> file(out, out + size);
  tjFree(out);
  tjDestroy(tj);
  return file;
}

TEST(ArtLoader, PicturesOfAnySizeDownToOnePixelAreRead) {
  const Pixel grey = rgb(128, 128, 128);
  for (const auto& [w, h] : {std::pair{1, 1}, {1, 6}, {6, 1}, {17, 9}}) {
    const std::vector<unsigned char> file = flatJpeg(w, h, grey);
    std::string error;
    const Image image = readJpeg(file.data(), file.size(), error);
    ASSERT_EQ(image.width, w) << w << "x" << h << ": " << error;
    ASSERT_EQ(image.height, h) << w << "x" << h;
    for (const Pixel p : image.pixels)
      EXPECT_NEAR(static_cast<int>(greenOf(p)), 128, 3) << w << "x" << h;
  }
}

std::vector<unsigned char> greyPng(int w, int h, std::uint8_t tone) {
  png_image png;
  std::memset(&png, 0, sizeof png);
  png.version = PNG_IMAGE_VERSION;
  png.width = w, png.height = h, png.format = PNG_FORMAT_GRAY;
  std::vector<std::uint8_t> pixels(static_cast<std::size_t>(w) * h, tone);
  png_alloc_size_t size = 0;
  png_image_write_to_memory(&png, nullptr, &size, 0, pixels.data(), 0, nullptr);
  std::vector<unsigned char> out(size);
  png_image_write_to_memory(&png, out.data(), &size, 0, pixels.data(), 0, nullptr);
  return out;
}

TEST(ArtLoader, PngMasksAndPicturesRoundTripAndTruncatedOnesAreRefused) {
  std::string error;
  const std::vector<unsigned char> grey = greyPng(6, 4, 77);
  const Art mask = readPng(grey.data(), grey.size(), error);
  ASSERT_TRUE(mask.isMask()) << error;
  EXPECT_EQ(mask.mask.width, 6);
  EXPECT_EQ(mask.mask.at(5, 3), 77);
  EXPECT_TRUE(readPng(grey.data(), grey.size() / 2, error).empty());
  EXPECT_FALSE(error.empty());

  // Written straight from premultiplied pixels and read back premultiplied.
  const auto file = std::filesystem::temp_directory_path() / ("render-test-" + std::to_string(getpid()) + ".png");
  Image picture(3, 1);
  picture.pixels = {rgb(10, 20, 30), argb(128, 64, 0, 128), kTransparent};
  ASSERT_TRUE(writePng(file, picture, false, error)) << error;
  Art back = FolderArt(file.parent_path()).read(file.filename(), error);
  EXPECT_EQ(back.colour.pixels, picture.pixels) << error;
  ASSERT_TRUE(writePng(file, picture, true, error));
  back = FolderArt(file.parent_path()).read(file.filename(), error);
  EXPECT_EQ(back.colour.pixels, (std::vector<Pixel>{rgb(10, 20, 30), rgb(64, 0, 128), rgb(0, 0, 0)}))
      << "opaque: the alpha left out";
  std::filesystem::remove(file);
  EXPECT_FALSE(writePng("/nonexistent-folder/x.png", picture, true, error));
  EXPECT_FALSE(error.empty());
}

TEST(ArtLoader, OnlyRegularFilesAreRead) {
  const auto dir = std::filesystem::temp_directory_path() / ("render-art-" + std::to_string(getpid()));
  std::filesystem::create_directories(dir / "lcd" / "Im_Folder.pbm");
  ASSERT_EQ(mkfifo((dir / "lcd" / "Im_Fifo.pbm").c_str(), 0600), 0);
  const FolderArt art(dir.string());
  for (const char* path : {"lcd/Im_Folder.pbm", "lcd/Im_Fifo.pbm", "lcd/Im_None.pbm"}) {
    std::string error;
    EXPECT_TRUE(art.read(path, error).empty()) << path;  // and no wait on the FIFO
    EXPECT_NE(error.find(path), std::string::npos) << error;
  }
  std::filesystem::remove_all(dir);
}

TEST(ArtLoader, TheBuiltInFilesAreFoundByTheirPathsAlone) {
  for (const char* path : {"icons/hicolor/128x128/apps/cantiere.png", "pictures/Puls_Time.jpg",
                           "lcd/Im_Alarm.pbm", "lcd/4x/Im_Vite1.png", "pictures/4x/Puls_Time.jpg"}) {
    const FileBytes f = builtInFile(path);
    ASSERT_TRUE(f.found()) << path;
    EXPECT_GT(f.size, 16u) << path;
  }
  for (const char* path : {"", "lcd", "lcd/Im_Alarm", "lcd/Im_Alarm.pbm ", "zzz", "Lcd/Im_Alarm.pbm"})
    EXPECT_FALSE(builtInFile(path).found()) << path;
  std::string error;
  EXPECT_EQ(BuiltInArt().read("lcd/Im_Alarm.pbm", error).colour.width, info(Im_Alarm).rect.width);
  EXPECT_TRUE(BuiltInArt().read("pictures/Nothing.jpg", error).empty());
  EXPECT_NE(error.find("pictures/Nothing.jpg"), std::string::npos);
}

// The rows of the case's top-left rounded corner, where its outline enters.
std::set<int> cornerSteps(const CaseOutline& o, int rows) {
  std::set<int> steps;
  for (int y = 1; y < rows; ++y)
    if (o.begin(y) != o.end(y) && o.begin(y - 1) != o.end(y - 1))
      steps.insert(o.begin(y - 1)->left - o.begin(y)->left);
  return steps;
}

TEST(ArtLoader, TheCasesOutlineIsReadAtTheDeviceScale) {
  const CaseOutline one = builtInPictures(1).outline(Im_Base);
  const CaseOutline four = builtInPictures(4).outline(Im_Base);
  ASSERT_EQ(four.width(), 4 * one.width());
  ASSERT_EQ(four.height(), 4 * one.height());
  // Scaled, the 1x outline steps by 4 pixels at a time; read at 4x it
  // follows the corner pixel by pixel.
  const std::set<int> steps = cornerSteps(four, 4 * 24);
  EXPECT_TRUE(steps.count(1) || steps.count(2) || steps.count(3)) << "finer than the 1x outline";
  int inside = 0, insideFour = 0;
  for (int y = 0; y < one.height(); ++y)
    for (const Span* s = one.begin(y); s != one.end(y); ++s) inside += s->right - s->left;
  for (int y = 0; y < four.height(); ++y)
    for (const Span* s = four.begin(y); s != four.end(y); ++s) insideFour += s->right - s->left;
  EXPECT_NEAR(insideFour / 16.0, inside, inside / 100.0) << "the same case";
}

}  // namespace
}  // namespace cantiere
