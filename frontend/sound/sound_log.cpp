// SPDX-License-Identifier: GPL-3.0-or-later
#include "frontend/sound/sound_log.h"

#include <chrono>
#include <cstdlib>

namespace cantiere {

std::unique_ptr<SoundLog> SoundLog::fromEnvironment() {
  const char* path = std::getenv("CANTIERE_SOUND_LOG");
  if (!path || !*path) return nullptr;
  std::FILE* file = std::fopen(path, "w");
  if (!file) return nullptr;
  return std::unique_ptr<SoundLog>(new SoundLog(file));
}

SoundLog::~SoundLog() { std::fclose(file_); }

void SoundLog::line(const char* what, const char* name) {
  const auto now = std::chrono::steady_clock::now().time_since_epoch();
  const long long us = std::chrono::duration_cast<std::chrono::microseconds>(now).count();
  std::fprintf(file_, "%lld %s%s%s\n", us, what, name ? " " : "", name ? name : "");
  // Each line at once: the program may be ended at any moment.
  std::fflush(file_);
}

void SoundLog::played(Sample s) { line("sound", sampleName(s)); }
void SoundLog::silenced() { line("silence", nullptr); }

}  // namespace cantiere
