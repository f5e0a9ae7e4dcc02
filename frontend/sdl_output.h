// The handheld's mixer over SDL2_mixer: SDL's audio subsystem only, 22050 Hz
// stereo, every sample on a channel of its own so a new sound never cuts one
// that is playing.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

#include "core/sound/sound.h"

struct Mix_Chunk;

namespace cantiere {

// The eight samples last a few seconds; a file over this is no sample.
constexpr off_t kSampleSizeLimit = 16 << 20;

class SdlOutput : public SoundOutput {
 public:
  // SDL's audio driver for each output type of the launcher's list: the
  // system's direct sound device and the desktop's sound server.
  struct Drivers {
    std::string direct = "alsa";
    std::string server = "pulseaudio";
  };

  // Called once at start-up, before any other thread runs (it sets the
  // environment): sizes what a PulseAudio server queues for the program.
  static void prepareProcess();

  SdlOutput();
  explicit SdlOutput(Drivers drivers);
  ~SdlOutput() override;
  SdlOutput(const SdlOutput&) = delete;
  SdlOutput& operator=(const SdlOutput&) = delete;

  void selectOutput(int outputType) override;
  // Opens the selected driver; when it cannot open, SDL's own choice (which
  // honours SDL_AUDIODRIVER) is tried before giving up. A mixer that did not
  // open loads nothing, so the failure shows as a failed first sample.
  void init(int mixRate, int channels) override;
  SampleHandle load(const char* path) override;
  void play(SampleHandle sample) override;
  void stopAll() override;
  void free(SampleHandle sample) override;
  void close() override;
  const char* openError() const override;

  bool isOpen() const { return open_; }
  // The SDL driver that opened ("" while closed).
  std::string driver() const;

 private:
  bool openWith(const char* driver, int mixRate);
  // The driver's name and SDL's reason for the failure just seen.
  static std::string describe(const char* driver);

  Drivers drivers_;
  std::string selected_;  // "" for SDL's own choice
  bool open_ = false;
  std::string openError_;  // the chosen driver's reason, when nothing opened
  std::vector<Mix_Chunk*> loaded_;
};

}  // namespace cantiere
