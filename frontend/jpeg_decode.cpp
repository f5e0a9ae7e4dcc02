// SPDX-License-Identifier: GPL-3.0-or-later
#include "frontend/jpeg_decode.h"

#include <turbojpeg.h>

#include <memory>

namespace cantiere {
namespace {

struct TjCloser {
  void operator()(void* handle) const { tjDestroy(static_cast<tjhandle>(handle)); }
};

QImage fail(QString* error, const QString& why) {
  if (error) *error = why;
  return {};
}

}  // namespace

QImage decodeJpeg(const QByteArray& data, QString* error) {
  if (data.isEmpty()) return fail(error, QStringLiteral("empty file"));
  std::unique_ptr<void, TjCloser> tj(tjInitDecompress());
  if (!tj) return fail(error, QStringLiteral("cannot start the JPEG decoder"));
  auto* bytes = reinterpret_cast<const unsigned char*>(data.constData());
  const auto size = static_cast<unsigned long>(data.size());
  int width = 0, height = 0, subsampling = 0, colourspace = 0;
  if (tjDecompressHeader3(tj.get(), bytes, size, &width, &height, &subsampling, &colourspace) != 0)
    return fail(error, QString::fromUtf8(tjGetErrorStr2(tj.get())));
  // A corrupt header can claim any size; nothing of ours is near this.
  if (width <= 0 || height <= 0 || width > 8192 || height > 8192)
    return fail(error, QStringLiteral("implausible size %1x%2").arg(width).arg(height));
  // QImage::Format_RGB32 is 0xffRRGGBB per pixel: B, G, R, X in memory on
  // the little-endian machines we build for.
  QImage image(width, height, QImage::Format_RGB32);
  if (image.isNull()) return fail(error, QStringLiteral("out of memory"));
  if (tjDecompress2(tj.get(), bytes, size, image.bits(), width, static_cast<int>(image.bytesPerLine()),
                    height, TJPF_BGRX, 0) != 0) {
    // Warnings (a truncated scan still gives a picture) are failures too:
    // a half-grey case is worse than an obvious gap.
    return fail(error, QString::fromUtf8(tjGetErrorStr2(tj.get())));
  }
  return image;
}

}  // namespace cantiere
