// SPDX-License-Identifier: GPL-3.0-or-later
// Reading a file that the program did not make: only a regular file, only
// up to a size that makes sense for it. A FIFO, a device or a huge file
// could otherwise hang the program or fill its memory.
#pragma once

#include <sys/types.h>

#include <string>

namespace cantiere {

struct FileText {
  enum Status { Ok, Missing, NotRegular, TooLarge, Unreadable } status = Missing;
  std::string text;
  mode_t mode = 0;  // of an existing file
  int error = 0;    // errno of an unreadable one
};

// Reads `path` (following links) if it is a regular file of at most `limit`
// bytes. A FIFO or a device is never opened for more than a look at it.
FileText readRegularFile(const std::string& path, off_t limit);

}  // namespace cantiere
