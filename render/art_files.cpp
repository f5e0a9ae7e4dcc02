// SPDX-License-Identifier: GPL-3.0-or-later
#include "render/art_files.h"

#include <filesystem>
#include <fstream>
#include <vector>

#include "render/builtin_files.h"
#include "render/jpeg_reader.h"
#include "render/pbm_reader.h"
#include "render/png_reader.h"

namespace cantiere {
namespace {

constexpr std::uintmax_t kLargestFile = 64u << 20;

bool endsWith(const std::string& s, std::string_view end) {
  return s.size() >= end.size() && s.compare(s.size() - end.size(), end.size(), end) == 0;
}

}  // namespace

Art decodeArt(const unsigned char* data, std::size_t size, const std::string& path,
              const std::string& shownAs, std::string& error) {
  std::string why;
  Art art;
  const char* kind = "picture";
  if (endsWith(path, ".jpg")) {
    kind = "JPEG";
    art.colour = readJpeg(data, size, why);
  } else if (endsWith(path, ".png")) {
    kind = "PNG";
    art = readPng(data, size, why);
  } else if (endsWith(path, ".pbm")) {
    kind = "PBM";
    art.colour = readPbm(data, size, why);
  } else {
    why = "not a kind of picture read here";
  }
  if (art.empty()) error = shownAs + ": not a readable " + kind + " (" + why + ")";
  return art;
}

Art FolderArt::read(const std::string& path, std::string& error) const {
  const std::string file = root_ + "/" + path;
  std::error_code ec;
  // A FIFO or a device would hang or never end; a folder has no bytes.
  if (!std::filesystem::is_regular_file(file, ec) ||
      std::filesystem::file_size(file, ec) > kLargestFile || ec) {
    error = "cannot open " + file;
    return {};
  }
  std::ifstream in(file, std::ios::binary);
  const std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)), {});
  if (!in && !in.eof()) {
    error = "cannot read " + file;
    return {};
  }
  return decodeArt(bytes.data(), bytes.size(), path, file, error);
}

Art BuiltInArt::read(const std::string& path, std::string& error) const {
  const FileBytes bytes = builtInFile(path);
  if (!bytes.found()) {
    error = "no built-in picture " + path;
    return {};
  }
  return decodeArt(bytes.data, bytes.size, path, "built-in " + path, error);
}

std::shared_ptr<const ArtSource> builtInArt() {
  static const auto source = std::make_shared<const BuiltInArt>();
  return source;
}

}  // namespace cantiere
