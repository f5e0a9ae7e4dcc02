#include "frontend/app_icon.h"

#include <QFile>
#include <QImage>
#include <map>

// Outside any namespace, as the resource's registration must be named.
static void registerIconArt() { Q_INIT_RESOURCE(assets); }

namespace cantiere {
namespace {

constexpr int kSizes[] = {16, 24, 32, 48, 64, 128, 256};

}  // namespace

QIcon applicationIcon() {
  registerIconArt();
  // Sizes drawn for their own, where the resources hold them, and the
  // program's one icon picture.
  std::map<int, QImage> drawn;
  for (int size : kSizes) {
    const QImage image(QStringLiteral(":/icons/hicolor/%1x%1/apps/cantiere.png").arg(size));
    if (!image.isNull()) drawn[image.width()] = image;
  }
  const QImage main(QStringLiteral(":/cantiere.png"));
  if (!main.isNull()) drawn.emplace(main.width(), main);
  QIcon icon;
  if (drawn.empty()) return icon;
  const QImage& largest = drawn.rbegin()->second;
  for (int size : kSizes) {
    const auto it = drawn.find(size);
    // Only ever scaled down: an enlarged icon would be blurred.
    if (it == drawn.end() && size > largest.width()) continue;
    icon.addPixmap(QPixmap::fromImage(
        it != drawn.end() ? it->second
                          : largest.scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
  }
  return icon;
}

}  // namespace cantiere
