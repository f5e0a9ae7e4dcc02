// SPDX-License-Identifier: GPL-3.0-or-later
// The data folder: SOUND/, readme.txt and whatsnew.txt. Sounds and documents
// are named relative to the working folder, so the program works from its
// data folder, never from wherever it happened to be started.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace cantiere {

// True when `folder` is a folder holding a SOUND folder.
bool isDataFolder(const std::string& folder);

// Where the data folder is looked for when none is named, first match wins.
std::vector<std::string> dataFolderCandidates(const std::string& programFolder);

// The canonical path of the first candidate that is a data folder.
std::optional<std::string> findDataFolder(const std::string& programFolder);

// The folder of the running program.
std::string programFolder();

}  // namespace cantiere
