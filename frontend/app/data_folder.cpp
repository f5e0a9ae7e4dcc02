// SPDX-License-Identifier: GPL-3.0-or-later
#include "frontend/app/data_folder.h"

#include <filesystem>

#ifndef CANTIERE_DATA_FROM_BIN
#define CANTIERE_DATA_FROM_BIN "../share/cantiere"
#endif

namespace cantiere {

namespace fs = std::filesystem;

bool isDataFolder(const std::string& folder) {
  std::error_code error;
  return !folder.empty() && fs::is_directory(folder, error) &&
         fs::is_directory(fs::path(folder) / "SOUND", error);
}

std::vector<std::string> dataFolderCandidates(const std::string& programFolder) {
  // Beside the program in the build tree; the installed data folder, found
  // from the program so that an installed tree can be moved.
  return {programFolder, programFolder + "/" CANTIERE_DATA_FROM_BIN};
}

std::optional<std::string> findDataFolder(const std::string& programFolder) {
  for (const std::string& candidate : dataFolderCandidates(programFolder)) {
    std::error_code error;
    if (!isDataFolder(candidate)) continue;
    const fs::path found = fs::canonical(candidate, error);
    if (!error) return found.string();
  }
  return std::nullopt;
}

std::string programFolder() {
  std::error_code error;
  return fs::read_symlink("/proc/self/exe", error).parent_path().string();
}

}  // namespace cantiere
