// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the eight sound samples (common/sound/sound_synth.cpp makes them).
//
//   make_sounds <repo>/assets/SOUND           writes the eight files
//   make_sounds --check <repo>/assets/SOUND   fails if any would change
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include "common/sound/sound_synth.h"

int main(int argc, char** argv) {
  const bool check = argc == 3 && std::string(argv[1]) == "--check";
  if (argc != 2 && !check) {
    std::fprintf(stderr, "usage: %s [--check] <repo>/assets/SOUND\n", argv[0]);
    return 2;
  }
  const std::string dir = argv[argc - 1];
  bool ok = true;
  for (const cantiere::SoundFile& file : cantiere::makeSoundFiles()) {
    const std::string path = dir + "/" + file.name;
    if (check) {
      std::ifstream in(path, std::ios::binary);
      const std::string old((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
      if (old != file.wav) {
        std::fprintf(stderr, "%s is not what this tool makes\n", path.c_str());
        ok = false;
      }
      continue;
    }
    std::ofstream out(path, std::ios::binary);
    out.write(file.wav.data(), static_cast<std::streamsize>(file.wav.size()));
    ok = static_cast<bool>(out) && ok;
    std::printf("%-13s %6.0f ms\n", file.name, file.ms);
  }
  return ok ? 0 : 1;
}
