// SPDX-License-Identifier: GPL-3.0-or-later
// The settings store as a per-user INI file, by default
// $XDG_CONFIG_HOME/Lanterna/Cantiere.ini (~/.config/Lanterna/Cantiere.ini).
// Each write re-reads the file under a lock and replaces it atomically, so a
// failed or killed write never leaves it half-written and a value another
// running program stored is kept. A write that cannot be made at once (the
// lock is busy, the folder read-only) never holds up the game: the values
// stay in memory and the write is tried again at the next one, and once
// more when the store closes. A new high score that cannot be stored, and
// values still unwritten when the store closes, are said on standard error:
// they are what a person would lose without a word.
#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "core/settings/settings_store.h"
#include "common/files/ini_text.h"

namespace cantiere {

class IniSettings : public SettingsStore {
 public:
  IniSettings();                                // the per-user file
  explicit IniSettings(const std::string& path);  // a given file
  ~IniSettings() override;
  IniSettings(const IniSettings&) = delete;
  IniSettings& operator=(const IniSettings&) = delete;

  std::int32_t readInt(const char* name, std::int32_t fallback) override;
  void writeInt(const char* name, std::int32_t value) override;
  Raised raiseInt(const char* name, std::int32_t value) override;

  std::string path() const { return path_; }
  // False after a write that could not reach the disk (read-only folder,
  // full disk, busy lock, a file refused as damaged); the values in memory
  // go on being used.
  bool lastWriteOk() const { return lastWriteOk_; }
  // Why the last write that failed did ("No space left on device").
  const std::string& lastError() const { return why_; }

  // A raised value (a new high score) that could not be stored.
  struct Unstored {
    std::string name;
    std::int32_t value;
    std::string why;
    bool retried;  // kept for the next write and the close, unless the file is refused
  };
  // Called, after the line on standard error, when a raised value cannot be
  // stored; once, until a write reaches the disk again.
  std::function<void(const Unstored&)> onUnstored;

  // The last try for the values not yet written, as the program ends, and
  // one line on standard error when some are lost. Once; the destructor
  // calls it, and so may an exit that skips destructors.
  void close();

  // How long a write waits for another program's write to finish.
  static constexpr std::chrono::milliseconds kLockWait{10};

 private:
  struct Change {
    std::string name;
    std::int32_t value;
    bool raise;  // keep the higher of this and the stored value
  };
  void open();
  void refuse(const std::string& why);
  bool fail(const std::string& why);  // false, with why_ set
  void tellUnstored(const char* name, std::int32_t value);
  // The file with the changes not yet written applied, in memory.
  IniText current() const;
  // Writes every pending change under the lock; the outcome of the last.
  bool flush(std::chrono::milliseconds wait, Raised& last);

  std::string path_;
  bool refused_ = false;  // never written in this run
  bool lastWriteOk_ = true;
  bool closed_ = false;
  bool unstoredTold_ = false;  // since the last write that reached the disk
  std::string why_;
  std::vector<Change> pending_;
};

}  // namespace cantiere
