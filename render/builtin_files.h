// SPDX-License-Identifier: GPL-3.0-or-later
// The files of assets/pictures, assets/lcd and assets/icons, built into the
// program as they are stored (one copy of their bytes, read on demand).
#pragma once

#include <cstddef>
#include <string_view>

namespace cantiere {

struct FileBytes {
  const unsigned char* data = nullptr;
  std::size_t size = 0;
  bool found() const { return data != nullptr; }
};

// A built-in file by its path under assets/ ("lcd/2x/Im_Heart1.png",
// "icons/hicolor/16x16/apps/cantiere.png"); not found: no data.
FileBytes builtInFile(std::string_view path);

}  // namespace cantiere
