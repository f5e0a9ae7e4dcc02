// SPDX-License-Identifier: GPL-3.0-or-later
// A folder of a test's own, removed with everything in it at the end.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <string>

namespace cantiere::test {

class TempFolder {
 public:
  TempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "cantiere-test-XXXXXX").string();
    if (::mkdtemp(pattern.data())) path_ = pattern;
  }
  ~TempFolder() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  bool isValid() const { return !path_.empty(); }
  const std::string& path() const { return path_; }
  std::string filePath(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

}  // namespace cantiere::test
