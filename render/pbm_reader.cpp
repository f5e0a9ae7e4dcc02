// SPDX-License-Identifier: GPL-3.0-or-later
#include "render/pbm_reader.h"

namespace cantiere {
namespace {

constexpr Pixel kInk = rgb(0, 0, 0), kPaper = rgb(255, 255, 255);

class Reader {
 public:
  Reader(const unsigned char* data, std::size_t size) : at_(data), end_(data + size) {}

  bool atEnd() const { return at_ == end_; }
  // Whitespace and comments (from # to the end of the line).
  void skipSpace() {
    while (at_ != end_) {
      if (*at_ == '#') {
        while (at_ != end_ && *at_ != '\n') ++at_;
      } else if (*at_ == ' ' || *at_ == '\t' || *at_ == '\n' || *at_ == '\r' || *at_ == '\v' ||
                 *at_ == '\f') {
        ++at_;
      } else {
        return;
      }
    }
  }
  // A decimal number of at most five digits (no bitmap of ours is near).
  bool number(int& value) {
    skipSpace();
    value = 0;
    int digits = 0;
    while (at_ != end_ && *at_ >= '0' && *at_ <= '9') {
      if (++digits > 5) return false;
      value = value * 10 + (*at_++ - '0');
    }
    return digits > 0;
  }
  bool take(unsigned char& c) {
    if (at_ == end_) return false;
    c = *at_++;
    return true;
  }
  std::size_t left() const { return static_cast<std::size_t>(end_ - at_); }

 private:
  const unsigned char* at_;
  const unsigned char* end_;
};

Image fail(std::string& error, const char* why) {
  error = why;
  return {};
}

}  // namespace

Image readPbm(const unsigned char* data, std::size_t size, std::string& error) {
  Reader in(data, size);
  unsigned char p = 0, kind = 0;
  if (!in.take(p) || !in.take(kind) || p != 'P' || (kind != '1' && kind != '4'))
    return fail(error, "not a portable bitmap");
  int width = 0, height = 0;
  if (!in.number(width) || !in.number(height) || width <= 0 || height <= 0 || width > 8192 ||
      height > 8192)
    return fail(error, "no plausible size");
  // Too few bytes for the size claimed: refused before a picture of that
  // size is made (a few bytes must not cost a quarter of a gigabyte).
  const std::size_t rowBytes = kind == '1' ? static_cast<std::size_t>(width) : (width + 7) / 8;
  if (in.left() < rowBytes * height) return fail(error, "ends before its last pixel");
  Image image(width, height, kPaper);
  if (kind == '1') {
    // One character a pixel, whitespace between them optional.
    for (Pixel& pixel : image.pixels) {
      in.skipSpace();
      unsigned char c = 0;
      if (!in.take(c)) return fail(error, "ends before its last pixel");
      if (c != '0' && c != '1') return fail(error, "a pixel that is neither 0 nor 1");
      if (c == '1') pixel = kInk;
    }
    return image;
  }
  // Raw: one whitespace character, then rows of whole bytes, first pixel in
  // the highest bit.
  unsigned char c = 0;
  if (!in.take(c)) return fail(error, "ends before its pixels");
  for (int y = 0; y < height; ++y) {
    Pixel* line = image.row(y);
    for (int x = 0; x < width; x += 8) {
      unsigned char bits = 0;
      if (!in.take(bits)) return fail(error, "ends before its last pixel");
      for (int b = 0; b < 8 && x + b < width; ++b)
        if (bits & (0x80 >> b)) line[x + b] = kInk;
    }
  }
  return image;
}

}  // namespace cantiere
