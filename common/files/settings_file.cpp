// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/files/settings_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <thread>
#include <vector>

namespace cantiere {
namespace {

std::string folderOf(const std::string& path) {
  const auto slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string nameOf(const std::string& path) {
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Ours are "NAME.tmp-" and six letters or digits, as mkstemp() makes them.
// Earlier versions wrote "NAME." and six; of those, only names with a digit
// or a capital are taken, since "NAME.backup" is more likely a person's copy.
bool isLeftoverName(const std::string& name, const std::string& base) {
  auto madeByMkstemp = [](const std::string& suffix) {
    return suffix.size() == 6 && std::all_of(suffix.begin(), suffix.end(), [](char c) {
             return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
           });
  };
  if (name.compare(0, base.size() + 1, base + ".") != 0) return false;
  const std::string suffix = name.substr(base.size() + 1);
  if (suffix.rfind("tmp-", 0) == 0) return madeByMkstemp(suffix.substr(4));
  return madeByMkstemp(suffix) &&
         std::any_of(suffix.begin(), suffix.end(), [](char c) { return c < 'a' || c > 'z'; });
}

}  // namespace

std::string resolvedPath(const std::string& path) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
  char buffer[PATH_MAX];
  if (!::realpath(path.c_str(), buffer)) return {};
  return buffer;
}

SettingsLock::SettingsLock(const std::string& path, std::chrono::milliseconds wait)
    : lockPath_(path + ".lock") {
  const auto deadline = std::chrono::steady_clock::now() + wait;
  for (;;) {
    // O_NOFOLLOW and the check below: a link, a folder or a FIFO planted
    // there is no lock and is never waited for.
    const int fd = ::open(lockPath_.c_str(),
                          O_RDONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, 0644);
    if (fd < 0) {
      error_ = errno;
      return;
    }
    struct stat held {};
    if (::fstat(fd, &held) != 0 || !S_ISREG(held.st_mode)) {
      error_ = S_ISDIR(held.st_mode) ? EISDIR : EINVAL;
      ::close(fd);
      return;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
      // The holder before us may have removed the file it locked just as we
      // opened it; only the file that is still there is the lock.
      struct stat now {};
      if (::lstat(lockPath_.c_str(), &now) == 0 && now.st_ino == held.st_ino &&
          now.st_dev == held.st_dev) {
        fd_ = fd;
        return;
      }
      ::close(fd);
      continue;
    }
    ::close(fd);
    if (std::chrono::steady_clock::now() >= deadline) {
      error_ = EWOULDBLOCK;
      return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}

SettingsLock::~SettingsLock() {
  if (fd_ < 0) return;
  // Removed while still locked, so no one can take a lock on a file that is
  // about to vanish.
  ::unlink(lockPath_.c_str());
  ::close(fd_);
}

void removeLeftovers(const std::string& path) {
  const std::string folder = folderOf(path);
  const std::string base = nameOf(path);
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return;
  std::vector<std::string> found;
  while (const dirent* entry = ::readdir(dir))
    if (isLeftoverName(entry->d_name, base)) found.emplace_back(entry->d_name);
  ::closedir(dir);
  for (const std::string& name : found) {
    const std::string leftover = folder + "/" + name;
    struct stat st {};
    if (::lstat(leftover.c_str(), &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid())
      ::unlink(leftover.c_str());
  }
}

}  // namespace cantiere
