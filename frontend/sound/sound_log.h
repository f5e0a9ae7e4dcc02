// SPDX-License-Identifier: GPL-3.0-or-later
// A log of every sound the program plays and stops, with the time on the
// system's monotonic clock, so that a recording of the sound server can be
// set against the play that made it. Written when CANTIERE_SOUND_LOG names
// a file; one line an event: "MICROSECONDS sound SndJump", "MICROSECONDS
// silence".
#pragma once

#include <cstdio>
#include <memory>

#include "core/sound/sound.h"

namespace cantiere {

class SoundLog : public SoundListener {
 public:
  // Null when the environment asks for no log or the file cannot be made.
  static std::unique_ptr<SoundLog> fromEnvironment();
  ~SoundLog() override;

  void played(Sample s) override;
  void silenced() override;

 private:
  explicit SoundLog(std::FILE* file) : file_(file) {}
  void line(const char* what, const char* name);
  std::FILE* file_;
};

}  // namespace cantiere
