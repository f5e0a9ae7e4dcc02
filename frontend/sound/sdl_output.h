// SPDX-License-Identifier: GPL-3.0-or-later
// The handheld's mixer over SDL2_mixer: SDL's audio subsystem only, 22050 Hz
// stereo, every sample on a channel of its own so a new sound never cuts one
// that is playing.
//
// An open device costs processor time even in silence: SDL's thread goes on
// mixing it, and a sound server goes on taking it. So once nothing has
// sounded for kSoundRestAfterMs the device is given back ("rests") while the
// samples stay loaded, and the next sound opens it again as it was. A device
// that goes away while open (the sound server restarted, a card unplugged)
// is noticed at the next sound, given back the same way and opened again.
#pragma once

#include <sys/types.h>

#include <QTimer>
#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

#include "common/sound/sound_rest.h"
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
  // Open, with the device given back until the next sound.
  bool resting() const { return resting_; }
  // Open, but the device went away under it: nothing it plays is heard.
  bool deviceLost() const;
  // How long nothing may sound before the device rests; set before init()
  // (tests shorten it).
  void restAfter(int ms) { restMs_ = ms; }
  // The SDL driver that opened ("" while closed).
  std::string driver() const;

 private:
  // The mixer's format as SDL gave it at the first opening: the samples are
  // converted to it, so a device opened again must have exactly this.
  struct Format {
    int rate = 0;
    std::uint16_t encoding = 0;
    int channels = 0;
    int frames = 0;
  };

  bool openWith(const char* driver, int mixRate);
  // The mixer's device and its audio subsystem given back (rest, loss).
  void giveBack();
  void restIfQuiet();
  bool wake();
  // The driver's name and SDL's reason for the failure just seen.
  static std::string describe(const char* driver);

  Drivers drivers_;
  std::string selected_;  // "" for SDL's own choice
  bool open_ = false;
  std::string openError_;  // the chosen driver's reason, when nothing opened
  std::vector<Mix_Chunk*> loaded_;
  std::string driver_;  // the SDL driver that opened
  Format format_;
  int mixChannels_ = 0;
  bool resting_ = false;
  bool wakeFailed_ = false;  // said once, not at every sound
  // SDL's number for the device the mixer opened, 0 when unknown: SDL_mixer
  // does not say it, so it is found among SDL's open devices.
  std::uint32_t device_ = 0;
  int restMs_ = kSoundRestAfterMs;
  // A sound only notes its time: restarting a timer at every sound would
  // cost the event loop an allocation each time.
  std::chrono::steady_clock::time_point lastSound_;
  QTimer rest_;
};

}  // namespace cantiere
