// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/files/file_replace.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fstream>

namespace cantiere {
namespace {

int writeAll(int fd, const std::string& text) {
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return errno;
    if (n == 0) return EIO;
    done += static_cast<std::size_t>(n);
  }
  return 0;
}

// Read, not set and put back: umask() is per process, and another thread
// creating a file in between would get the wrong one.
mode_t currentUmask() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind("Umask:", 0) == 0)
      return static_cast<mode_t>(std::strtoul(line.c_str() + 6, nullptr, 8));
  return 022;
}

}  // namespace

int replaceFile(const std::string& path, const std::string& text, mode_t mode) {
  std::string temporary = path + ".tmp-XXXXXX";
  const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
  if (fd < 0) return errno;
  int error = writeAll(fd, text);
  if (!error && ::fchmod(fd, mode) != 0) error = errno;
  if (!error && ::fsync(fd) != 0) error = errno;
  if (::close(fd) != 0 && !error) error = errno;
  if (!error && ::rename(temporary.c_str(), path.c_str()) != 0) error = errno;
  if (error) ::unlink(temporary.c_str());
  return error;
}

std::string writeWholeFile(const std::string& path, const std::string& text) {
  std::string target = path;
  struct stat st {};
  if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
    char resolved[PATH_MAX];
    if (!::realpath(path.c_str(), resolved)) return std::strerror(errno);
    target = resolved;
  }
  const bool exists = ::stat(target.c_str(), &st) == 0;
  if (exists && S_ISDIR(st.st_mode)) return std::strerror(EISDIR);
  if (exists && !S_ISREG(st.st_mode)) return "Not a regular file";
  const int error =
      replaceFile(target, text, exists ? (st.st_mode & 07777) : (0666 & ~currentUmask()));
  return error ? std::strerror(error) : std::string();
}

}  // namespace cantiere
