// SPDX-License-Identifier: GPL-3.0-or-later
// Documents of the data folder reach the desktop's opener by a path of plain
// characters only. With no desktop environment the opener falls back to
// tools that pass the path through a shell, where a quote or a semicolon in
// a folder's name would run as a command.
#pragma once

#include <string>

namespace cantiere {

// Letters, digits and / . _ - + only.
bool isPlainPath(const std::string& path);

// A plain path to the file `path` names (absolute): `path` itself when it is
// plain, else a link to it with a plain name in a private folder below
// `runtimeFolder` (itself plain). Empty when no such link can be made.
std::string plainPathTo(const std::string& path, const std::string& runtimeFolder);

}  // namespace cantiere
