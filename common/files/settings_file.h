// SPDX-License-Identifier: GPL-3.0-or-later
// The settings file on disk, kept whole: read only when it is a regular file
// of sensible size, replaced atomically under a lock that a dead process
// cannot leave behind, and never waited for longer than a few milliseconds.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <string>

#include "common/files/file_replace.h"
#include "common/files/regular_file.h"

namespace cantiere {

// Larger than any settings file the program writes by far; anything bigger
// is damage, and reading it would cost seconds and a gigabyte.
constexpr off_t kSettingsSizeLimit = 1 << 20;

// The file that `path` names: itself, or where the links it is lead; empty
// when they lead nowhere.
std::string resolvedPath(const std::string& path);

// An exclusive lock on "PATH.lock", taken by flock(): the kernel lets go of
// it when its holder dies, so nothing stale can ever stall a later run. The
// lock file is removed again on release.
class SettingsLock {
 public:
  SettingsLock(const std::string& path, std::chrono::milliseconds wait);
  ~SettingsLock();
  SettingsLock(const SettingsLock&) = delete;
  SettingsLock& operator=(const SettingsLock&) = delete;
  bool held() const { return fd_ >= 0; }
  // Why it is not held: EWOULDBLOCK while another program holds it, else
  // what stopped the lock file (a read-only or full disk, a missing folder).
  int error() const { return error_; }

 private:
  std::string lockPath_;
  int fd_ = -1;
  int error_ = 0;
};

// Removes what an earlier write killed half-way left beside `path`: its
// temporary files "NAME.tmp-XXXXXX" (and an earlier version's
// "NAME.XXXXXX"). Only while the lock is held, so a write in progress
// elsewhere is never disturbed.
void removeLeftovers(const std::string& path);

}  // namespace cantiere
