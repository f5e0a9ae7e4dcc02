// The settings store as a per-user INI file, by default
// $XDG_CONFIG_HOME/Lanterna/Cantiere.ini (~/.config/Lanterna/Cantiere.ini).
// QSettings gives the path, a lock against a second process and an atomic
// replace of the file, so a failed write never leaves it half-written.
#pragma once

#include <memory>
#include <string>

#include "core/settings/settings_store.h"

class QSettings;

namespace cantiere {

class IniSettings : public SettingsStore {
 public:
  IniSettings();                                // the per-user file
  explicit IniSettings(const std::string& path);  // a given file
  ~IniSettings() override;

  std::int32_t readInt(const char* name, std::int32_t fallback) override;
  void writeInt(const char* name, std::int32_t value) override;

  std::string path() const;
  // False after a write that could not reach the disk (read-only folder,
  // full disk); the values in memory go on being used.
  bool lastWriteOk() const { return lastWriteOk_; }

 private:
  std::unique_ptr<QSettings> settings_;
  bool lastWriteOk_ = true;
};

// The decimal integer the text holds (optional sign, then digits, nothing
// else, within 32 bits), or nothing.
bool parseDecimal(const std::string& text, std::int32_t& out);

}  // namespace cantiere
