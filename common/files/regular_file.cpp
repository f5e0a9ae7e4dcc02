// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/files/regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace cantiere {

FileText readRegularFile(const std::string& path, off_t limit) {
  FileText result;
  // O_NONBLOCK: opening a FIFO without a writer would wait for one.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) {
    result.error = errno;
    result.status = errno == ENOENT ? FileText::Missing : FileText::Unreadable;
    return result;
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    result.status = FileText::NotRegular;
    return result;
  }
  result.mode = st.st_mode & 07777;
  if (st.st_size > limit) {
    ::close(fd);
    result.status = FileText::TooLarge;
    return result;
  }
  // It may grow while it is read: never more than the limit and one byte.
  const std::size_t most = static_cast<std::size_t>(limit) + 1;
  result.text.resize(std::min(static_cast<std::size_t>(st.st_size) + 1, most));
  std::size_t got = 0;
  for (;;) {
    if (got == result.text.size()) {
      if (got == most) break;
      result.text.resize(std::min(2 * got, most));
    }
    const ssize_t n = ::read(fd, result.text.data() + got, result.text.size() - got);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      result.error = errno;
      ::close(fd);
      result.text.clear();
      result.status = FileText::Unreadable;
      return result;
    }
    if (n == 0) break;
    got += static_cast<std::size_t>(n);
  }
  ::close(fd);
  if (got > static_cast<std::size_t>(limit)) {
    result.text.clear();
    result.status = FileText::TooLarge;
    return result;
  }
  result.text.resize(got);
  result.status = FileText::Ok;
  return result;
}

}  // namespace cantiere
