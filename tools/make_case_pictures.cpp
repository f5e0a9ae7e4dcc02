// SPDX-License-Identifier: GPL-3.0-or-later
// Renders the case and button photographs, the launcher's slides and the
// about window's picture at 1x into assets/pictures/ and at 2x, 3x and 4x
// into assets/pictures/<n>x/, and the application icon into assets/ (also
// at every hicolor size, under icons/):
//
//   make_case_pictures <repo>/assets [open.png]
//   make_case_pictures --check <repo>/assets
//
// The optional second file receives the open handheld with every segment
// lit, at full size, for a look before committing. --check writes nothing
// and fails when a committed file is not what the tool makes (a JPEG may
// differ in its bytes by the machine's rounding, within a small tolerance).
//
// The LCD pictures must already be in <repo>/assets/lcd (make_lcd_pictures.py);
// the renders of the open handheld draw them with the window's own renderer.
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QPainter>

#include <turbojpeg.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

#include "core/lcd/surface.h"
#include "frontend/pictures/picture_set.h"
#include "common/view/view_scale.h"
#include "render/compositor.h"
#include "render/jpeg_reader.h"
#include "render/resample.h"
#include "tools/case_art.h"

using namespace cantiere;

namespace {

QByteArray jpeg(const QImage& picture, int quality) {
  const QImage image = picture.convertToFormat(QImage::Format_RGB32);
  tjhandle tj = tjInitCompress();
  if (!tj) return {};
  unsigned char* out = nullptr;
  unsigned long size = 0;
  // 4:4:4 keeps the thin red print and the small buttons sharp.
  const bool ok = tjCompress2(tj, image.constBits(), image.width(), static_cast<int>(image.bytesPerLine()),
                              image.height(), TJPF_BGRX, &out, &size, TJSAMP_444, quality,
                              TJFLAG_ACCURATEDCT) == 0;
  QByteArray data;
  if (ok) data = QByteArray(reinterpret_cast<const char*>(out), static_cast<qsizetype>(size));
  tjFree(out);
  tjDestroy(tj);
  return data;
}

// Every file the tool makes, by path, with its bytes.
using Files = std::map<QString, QByteArray>;

QImage crop(const QImage& image, Element e, const ViewScale& view) {
  return image.copy(toQRect(elementRect(e, view)));
}

// The open handheld with every LCD segment lit and the clock at 12:00, as
// the window shows it right after the case is opened.
void allSegments(Surface& s) {
  s.reset();
  for (int i = 0; i < ElementCount; ++i) {
    const auto e = static_cast<Element>(i);
    if (info(e).picture == PictureKind::Copy) s.copyPicture(e, info(e).copyOf);
    const Group g = info(e).group;
    if (g == Group::UpperScreen || g == Group::LowerScreen || g == Group::Button ||
        g == Group::ScreenOverlay)
      s.show(e);
  }
  s.hide(Im_Front);
  s.show(Im_Base);
  s.hide(Im_Bar15);
  s.hide(Im_TimePM);
  const Element glyphs[4] = {Im_Num1, Im_Num2, Im_Num0, Im_Num0};
  const Element positions[4] = {Im_NumPos1, Im_NumPos2, Im_NumPos3, Im_NumPos4};
  for (int k = 0; k < 4; ++k) s.copyPicture(positions[k], glyphs[k]);
}

QImage fitted(const QImage& source, int width, int height) {
  QImage out(width, height, QImage::Format_RGB32);
  out.fill(Qt::black);
  const QImage scaled = source.scaled(width, height, Qt::KeepAspectRatio, Qt::SmoothTransformation);
  QPainter p(&out);
  p.drawImage((width - scaled.width()) / 2, (height - scaled.height()) / 2, scaled);
  return out;
}

// Both screens side by side, for the about window; `open` and the result
// at `scale`.
QImage bothScreens(const QImage& open, int width, int height, int scale) {
  QImage out(width * scale, height * scale, QImage::Format_RGB32);
  out.fill(QColor(16, 16, 18));
  const int s = scale;
  const QImage upper =
      open.copy(120 * s, 75 * s, 222 * s, 144 * s).scaledToHeight((height - 6) * s, Qt::SmoothTransformation);
  const QImage lower =
      open.copy(122 * s, 349 * s, 220 * s, 144 * s).scaledToHeight((height - 6) * s, Qt::SmoothTransformation);
  const int gap = (out.width() - upper.width() - lower.width()) / 3;
  QPainter p(&out);
  p.drawImage(gap, 3 * s, upper);
  p.drawImage(2 * gap + upper.width(), 3 * s, lower);
  return out;
}

QImage icon(const QImage& open, int size) {
  QImage cut(open.size(), QImage::Format_ARGB32_Premultiplied);
  cut.fill(Qt::transparent);
  {
    QPainter p(&cut);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setClipPath(art::openOutline());
    p.drawImage(0, 0, open);
  }
  // Reduced by the renderer's own integer resampler and set in place by
  // copying: Qt's smooth scaling takes other code paths on other
  // processors, and its pixels then differ by a level here and there.
  const QSize fit = cut.size().scaled(size, size, Qt::KeepAspectRatio);
  const Image scaled = resampled(toImage(cut), fit.width(), fit.height(), false);
  Image out(size, size, 0);
  const int left = (size - fit.width()) / 2, top = (size - fit.height()) / 2;
  for (int y = 0; y < scaled.height; ++y)
    std::copy_n(scaled.row(y), scaled.width, out.row(top + y) + left);
  return toQImage(out);
}


// The pictures of one scale: the case, the buttons cut from the raised
// case, and the slides and the about picture from renders of the window.
// The icon is made from the 1x render only.
bool render(const QString& root, int scale, Files& files, QImage* openRender) {
  const QString folder = root + QStringLiteral("/pictures/") +
                         (scale > 1 ? QStringLiteral("%1x/").arg(scale) : QString());
  const ViewScale view(100 * scale, 1.0);
  const QImage base = art::openCase(false, scale);
  const QImage raised = art::openCase(true, scale);
  const QImage front = art::closedCase(scale);

  PictureSet set(std::make_shared<FolderArt>(root.toStdString()), scale);
  for (const std::string& problem : set.problems())
    if (problem.find("/lcd/") != std::string::npos) {
      std::fprintf(stderr, "%s\n", problem.c_str());
      return false;
    }
  set.setPicture(Im_Base, toImage(base));
  set.setPicture(Im_Front, toImage(front));
  files[folder + "Im_Base.jpg"] = jpeg(base, 92);
  files[folder + "Im_Front.jpg"] = jpeg(front, 92);
  for (Element e : {Puls_GameA, Puls_GameB, Puls_Time, Puls_Jump}) {
    const QImage button = crop(raised, e, view);
    set.setPicture(e, toImage(button));
    files[folder + info(e).name + ".jpg"] = jpeg(button, 95);
  }

  Surface surface;
  const QImage closed = toQImage(renderWindow({surface, set, view}, 464, 300), true);
  allSegments(surface);
  const QImage open = toQImage(renderWindow({surface, set, view}, 464, 571), true);
  const int s = scale;
  files[folder + "Im_Piccina1.jpg"] = jpeg(fitted(closed, 198 * s, 110 * s), 92);
  files[folder + "Im_Piccina2.jpg"] = jpeg(
      open.copy(99 * s, 72 * s, 266 * s, 148 * s).scaled(198 * s, 110 * s, Qt::IgnoreAspectRatio, Qt::SmoothTransformation),
      92);
  files[folder + "Im_Foto.jpg"] = jpeg(bothScreens(open, 252, 84, s), 92);
  if (scale == 1) {
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    icon(open, 128).save(&buffer, "PNG");
    files[root + "/cantiere.png"] = png;
    // The same icon at each size the desktop's hicolor theme looks for.
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
      QByteArray sized;
      QBuffer out(&sized);
      out.open(QIODevice::WriteOnly);
      icon(open, size).save(&out, "PNG");
      files[root + QStringLiteral("/icons/hicolor/%1x%1/apps/cantiere.png").arg(size)] = sized;
    }
  }
  if (openRender) *openRender = open;
  for (const auto& [path, data] : files)
    if (data.isEmpty()) {
      std::fprintf(stderr, "cannot encode %s\n", qPrintable(path));
      return false;
    }
  return true;
}

// A committed picture that differs from what the tool makes in its bytes but
// not to the eye: the rendering's last bit of rounding may depend on the
// processor.
QImage decoded(const QByteArray& data, bool photo) {
  if (!photo) return QImage::fromData(data);
  std::string error;
  return toQImage(readJpeg(reinterpret_cast<const unsigned char*>(data.constData()),
                           static_cast<std::size_t>(data.size()), error),
                  true);
}

bool nearlyEqual(const QByteArray& made, const QByteArray& committed, const QString& path) {
  const bool photo = path.endsWith(QLatin1String(".jpg"));
  QImage a = decoded(made, photo);
  QImage b = decoded(committed, photo);
  if (a.isNull() || b.isNull() || a.size() != b.size()) return false;
  a = a.convertToFormat(QImage::Format_ARGB32);
  b = b.convertToFormat(QImage::Format_ARGB32);
  long long total = 0;
  int worst = 0;
  for (int y = 0; y < a.height(); ++y) {
    const auto* pa = reinterpret_cast<const QRgb*>(a.constScanLine(y));
    const auto* pb = reinterpret_cast<const QRgb*>(b.constScanLine(y));
    for (int x = 0; x < a.width(); ++x)
      for (int shift : {0, 8, 16, 24}) {
        const int d = std::abs(int((pa[x] >> shift) & 0xFF) - int((pb[x] >> shift) & 0xFF));
        total += d;
        worst = std::max(worst, d);
      }
  }
  const double mean = double(total) / (4.0 * a.width() * a.height());
  return worst <= 16 && mean <= 0.25;
}

}  // namespace

int main(int argc, char** argv) {
  const bool check = argc == 3 && std::string(argv[1]) == "--check";
  if (!check && argc != 2 && argc != 3) {
    std::fprintf(stderr, "usage: %s <repo>/assets [open.png]\n       %s --check <repo>/assets\n", argv[0],
                 argv[0]);
    return 2;
  }
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  for (const char* face : {"LiberationSans-Regular.ttf", "LiberationSans-Bold.ttf", "LiberationSans-BoldItalic.ttf"}) {
    const QString path = QStringLiteral("/usr/share/fonts/truetype/liberation/") + face;
    if (QFontDatabase::addApplicationFont(path) < 0) {
      std::fprintf(stderr, "missing font %s (install fonts-liberation)\n", qPrintable(path));
      return 1;
    }
  }
  const QString root = QString::fromLocal8Bit(argv[check ? 2 : 1]);
  Files files;
  QImage open;
  for (int scale = 1; scale <= ViewScale::kLargestArt; ++scale)
    if (!render(root, scale, files, scale == 1 ? &open : nullptr)) return 1;

  int stale = 0;
  for (const auto& [path, data] : files) {
    QFile file(path);
    const QByteArray committed = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    file.close();
    if (committed == data) continue;
    if (check) {
      if (nearlyEqual(data, committed, path)) {
        std::printf("%s: same picture, other bytes\n", qPrintable(path));
        continue;
      }
      std::fprintf(stderr, "out of date: %s\n", qPrintable(path));
      ++stale;
      continue;
    }
    QDir().mkpath(QFileInfo(path).path());
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size()) {
      std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
      return 1;
    }
    ++stale;
  }
  std::printf("%zu pictures, %d %s\n", files.size(), stale, check ? "stale" : "written");
  if (!check && argc == 3 && !open.save(QString::fromLocal8Bit(argv[2]))) return 1;
  return check && stale ? 1 : 0;
}
