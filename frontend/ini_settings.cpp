#include "frontend/ini_settings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <limits>

namespace cantiere {
namespace {

// Every top-level key that names `name` without regard to case.
QStringList keysNamed(const QSettings& settings, const QString& name) {
  QStringList found;
  for (const QString& key : settings.childKeys())
    if (key.compare(name, Qt::CaseInsensitive) == 0) found << key;
  return found;
}

// Opening the store creates it, as an empty file, when it does not exist
// yet; a folder where nothing can be created leaves the store in memory.
void createIfMissing(const QString& path) {
  const QFileInfo info(path);
  if (info.exists()) return;
  QDir().mkpath(info.absolutePath());
  QFile file(path);
  if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) file.close();
}

}  // namespace

bool parseDecimal(const std::string& text, std::int32_t& out) {
  std::size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  if (i == text.size()) return false;
  std::int64_t value = 0;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
    if (value > std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1) return false;
  }
  if (negative) value = -value;
  if (value < std::numeric_limits<std::int32_t>::min() ||
      value > std::numeric_limits<std::int32_t>::max())
    return false;
  out = static_cast<std::int32_t>(value);
  return true;
}

IniSettings::IniSettings()
    : settings_(std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                            "Lanterna", "Cantiere")) {
  createIfMissing(settings_->fileName());
}

IniSettings::IniSettings(const std::string& path)
    : settings_(std::make_unique<QSettings>(QString::fromStdString(path), QSettings::IniFormat)) {
  createIfMissing(settings_->fileName());
}

IniSettings::~IniSettings() = default;

std::string IniSettings::path() const { return settings_->fileName().toStdString(); }

std::int32_t IniSettings::readInt(const char* name, std::int32_t fallback) {
  const QStringList keys = keysNamed(*settings_, QString::fromLatin1(name));
  if (keys.isEmpty()) return fallback;
  // Of several spellings (a hand-edited file), the exact one wins.
  const QString key = keys.contains(QString::fromLatin1(name)) ? QString::fromLatin1(name) : keys.first();
  const QVariant value = settings_->value(key);
  // A value with commas reads back as a list, which is no integer.
  if (value.typeId() != QMetaType::QString) return fallback;
  std::int32_t parsed;
  return parseDecimal(value.toString().trimmed().toStdString(), parsed) ? parsed : fallback;
}

void IniSettings::writeInt(const char* name, std::int32_t value) {
  const QString wanted = QString::fromLatin1(name);
  // One value per name: other spellings of it go, so the next read finds
  // exactly what was written.
  for (const QString& key : keysNamed(*settings_, wanted))
    if (key != wanted) settings_->remove(key);
  settings_->setValue(wanted, QString::number(value));
  settings_->sync();
  lastWriteOk_ = settings_->status() == QSettings::NoError;
}

}  // namespace cantiere
