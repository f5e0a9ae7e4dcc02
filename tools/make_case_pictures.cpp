// Renders the case and button photographs, the launcher's slides, the about
// window's picture and the application icon (also at every hicolor size,
// under icons/) into assets/:
//
//   make_case_pictures <repo>/assets [open.png]
//
// The optional second file receives the open handheld with every segment
// lit, at full size, for a look before committing.
//
// The LCD bitmaps must already be in <repo>/assets/lcd (make_lcd_pictures.py);
// the renders of the open handheld draw them with the window's own painter.
#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QPainter>

#include <turbojpeg.h>

#include <cstdio>

#include "frontend/picture_set.h"
#include "core/lcd/surface.h"
#include "frontend/surface_painter.h"
#include "tools/case_art.h"

using namespace cantiere;

namespace {

bool writeJpeg(const QImage& picture, const QString& path, int quality) {
  const QImage image = picture.convertToFormat(QImage::Format_RGB32);
  tjhandle tj = tjInitCompress();
  if (!tj) return false;
  unsigned char* out = nullptr;
  unsigned long size = 0;
  // 4:4:4 keeps the thin red print and the small buttons sharp.
  const bool ok = tjCompress2(tj, image.constBits(), image.width(), static_cast<int>(image.bytesPerLine()),
                              image.height(), TJPF_BGRX, &out, &size, TJSAMP_444, quality,
                              TJFLAG_ACCURATEDCT) == 0;
  bool written = false;
  if (ok) {
    QFile file(path);
    written = file.open(QIODevice::WriteOnly) &&
              file.write(reinterpret_cast<const char*>(out), static_cast<qint64>(size)) ==
                  static_cast<qint64>(size);
  }
  tjFree(out);
  tjDestroy(tj);
  if (!written) std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
  return written;
}

QImage crop(const QImage& image, Element e) { return image.copy(elementRect(e)); }

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

// Both screens side by side, for the about window.
QImage bothScreens(const QImage& open, int width, int height) {
  QImage out(width, height, QImage::Format_RGB32);
  out.fill(QColor(16, 16, 18));
  const QImage upper = open.copy(120, 75, 222, 144).scaledToHeight(height - 6, Qt::SmoothTransformation);
  const QImage lower = open.copy(122, 349, 220, 144).scaledToHeight(height - 6, Qt::SmoothTransformation);
  const int gap = (width - upper.width() - lower.width()) / 3;
  QPainter p(&out);
  p.drawImage(gap, 3, upper);
  p.drawImage(2 * gap + upper.width(), 3, lower);
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
  const QImage scaled = cut.scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
  QImage out(size, size, QImage::Format_ARGB32_Premultiplied);
  out.fill(Qt::transparent);
  QPainter p(&out);
  p.drawImage((size - scaled.width()) / 2, (size - scaled.height()) / 2, scaled);
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2 && argc != 3) {
    std::fprintf(stderr, "usage: %s <repo>/assets [open.png]\n", argv[0]);
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
  const QString root = QString::fromLocal8Bit(argv[1]);
  const QString pictures = root + QStringLiteral("/pictures/");
  QDir().mkpath(pictures);

  const QImage base = art::openCase(false);
  const QImage raised = art::openCase(true);
  const QImage front = art::closedCase();

  PictureSet set = PictureSet::load(root);
  for (const QString& problem : set.problems())
    if (problem.contains(QStringLiteral("/lcd/"))) {
      std::fprintf(stderr, "%s\n", qPrintable(problem));
      return 1;
    }
  set.setPicture(Im_Base, base);
  set.setPicture(Im_Front, front);
  bool ok = writeJpeg(base, pictures + "Im_Base.jpg", 92) && writeJpeg(front, pictures + "Im_Front.jpg", 92);
  for (Element e : {Puls_GameA, Puls_GameB, Puls_Time, Puls_Jump}) {
    const QImage button = crop(raised, e);
    set.setPicture(e, button);
    ok = ok && writeJpeg(button, pictures + info(e).name + ".jpg", 95);
  }

  Surface surface;
  const QImage closed = renderWindow(surface, set, 464, 300);
  allSegments(surface);
  const QImage open = renderWindow(surface, set, 464, 571);
  ok = ok && writeJpeg(fitted(closed, 198, 110), pictures + "Im_Piccina1.jpg", 92);
  ok = ok && writeJpeg(open.copy(99, 72, 266, 148).scaled(198, 110, Qt::IgnoreAspectRatio, Qt::SmoothTransformation),
                       pictures + "Im_Piccina2.jpg", 92);
  ok = ok && writeJpeg(bothScreens(open, 252, 84), pictures + "Im_Foto.jpg", 92);
  ok = ok && icon(open, 128).save(root + "/cantiere.png");
  // The same icon at each size the desktop's hicolor theme looks for.
  for (int size : {16, 24, 32, 48, 64, 128, 256}) {
    const QString apps = root + QStringLiteral("/icons/hicolor/%1x%1/apps").arg(size);
    ok = ok && QDir().mkpath(apps) && icon(open, size).save(apps + "/cantiere.png");
  }
  if (argc == 3) ok = ok && open.save(QString::fromLocal8Bit(argv[2]));
  return ok ? 0 : 1;
}
