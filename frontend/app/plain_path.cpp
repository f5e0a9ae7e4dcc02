// SPDX-License-Identifier: GPL-3.0-or-later
#include "frontend/app/plain_path.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>

namespace cantiere {
namespace {

bool isPlain(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '/' ||
         c == '.' || c == '_' || c == '-' || c == '+';
}

// A folder of ours: made if missing, and not a link, nor anyone else's.
bool privateFolder(const std::string& folder) {
  ::mkdir(folder.c_str(), 0700);
  struct stat st {};
  return ::lstat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid() &&
         (st.st_mode & 077) == 0;
}

// The same folder always gets the same name, so links are replaced rather
// than piled up (FNV-1a).
std::string folderKey(const std::string& folder) {
  std::uint64_t hash = 14695981039346656037ull;
  for (unsigned char c : folder) hash = (hash ^ c) * 1099511628211ull;
  char text[17];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
  return text;
}

}  // namespace

bool isPlainPath(const std::string& path) {
  return !path.empty() && std::all_of(path.begin(), path.end(), isPlain);
}

std::string plainPathTo(const std::string& path, const std::string& runtimeFolder) {
  if (isPlainPath(path)) return path;
  if (runtimeFolder.empty() || runtimeFolder[0] != '/' || !isPlainPath(runtimeFolder)) return {};
  const auto slash = path.rfind('/');
  std::string name = path.substr(slash + 1);
  std::replace_if(name.begin(), name.end(), [](char c) { return !isPlain(c) || c == '/'; }, '_');
  if (name.empty() || name[0] == '.') name.insert(0, "document");
  const std::string documents = runtimeFolder + "/cantiere-documents";
  const std::string folder = documents + "/" + folderKey(path.substr(0, slash));
  if (!privateFolder(documents) || !privateFolder(folder)) return {};
  // Made beside and renamed into place, so it always names this file.
  const std::string link = folder + "/" + name;
  const std::string fresh = link + ".new";
  ::unlink(fresh.c_str());
  if (::symlink(path.c_str(), fresh.c_str()) != 0 || ::rename(fresh.c_str(), link.c_str()) != 0) {
    ::unlink(fresh.c_str());
    return {};
  }
  return link;
}

}  // namespace cantiere
