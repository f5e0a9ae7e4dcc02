// SPDX-License-Identifier: GPL-3.0-or-later
// Files written whole: to a new file beside the old one, flushed to the
// disk, then renamed over it, so a reader or a crash sees the old file or
// the new one. A write can be buffered and seem to succeed, and a full disk
// show only when it is flushed: every step's result is looked at, fsync()'s
// included, and a write that fails anywhere leaves the old file as it was.
#pragma once

#include <sys/types.h>

#include <string>

namespace cantiere {

// Replaces `path` with `text`, as a file of mode `mode`. 0, or the errno of
// the first step that failed.
int replaceFile(const std::string& path, const std::string& text, mode_t mode);

// Replaces the file `path` names with `text`, where its links lead when it
// is one; an existing file keeps its mode, a new one gets 0666 less the
// umask, as any file the program creates. Empty when it went well, else why
// not ("No space left on device"). Only a regular file is replaced: a
// device or a FIFO is never renamed over.
std::string writeWholeFile(const std::string& path, const std::string& text);

}  // namespace cantiere
