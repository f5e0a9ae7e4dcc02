// SPDX-License-Identifier: GPL-3.0-or-later
#include "frontend/sound/sdl_output.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "common/files/regular_file.h"

namespace cantiere {
namespace {

Mix_Chunk* chunkOf(SampleHandle h) { return reinterpret_cast<Mix_Chunk*>(h); }

// Runs on the mixer's own thread after each buffer is mixed. The first time
// it gives that thread the priority sound needs, as far as the account may:
// real-time scheduling (root, or an account allowed real-time priority),
// else the highest plain priority allowed. SDL asks for this too, but only
// through RealtimeKit, which a machine may not run.
void raiseMixingThread(void*, Uint8*, int) {
  thread_local bool raised = false;
  if (raised) return;
  raised = true;
  sched_param realtime{};
  realtime.sched_priority = sched_get_priority_min(SCHED_RR) + 4;
  if (pthread_setschedparam(pthread_self(), SCHED_RR, &realtime) == 0) return;
  const auto thread = static_cast<id_t>(syscall(SYS_gettid));
  for (int nice = -11; nice < 0; ++nice)
    if (setpriority(PRIO_PROCESS, thread, nice) == 0) return;
}

// SDL's PulseAudio driver asks the server to hold exactly one mixer buffer,
// so the buffer's size was both the delay and the only cushion against a
// late refill: 512 frames (23 ms) broke off under load. Through a server the
// mixer now hands over small blocks and the server holds 25 ms: a sound is
// heard some 20 ms after its key, and the queue still rides out a busy
// machine (35 ms cost 10 ms more and left too little room for a slow X
// server under load).
// A device opened directly keeps the larger buffer it needs.
constexpr const char* kServerQueueMs = "25";
constexpr int kFramesToServer = 128;
constexpr int kFramesToDevice = 512;

// The device the mixer has just opened: SDL numbers the devices opened with
// SDL_OpenAudioDevice from 2 on, and the mixer's is the only one.
SDL_AudioDeviceID openedDevice() {
  constexpr SDL_AudioDeviceID kFirst = 2, kLast = 16;
  for (SDL_AudioDeviceID id = kFirst; id <= kLast; ++id)
    if (SDL_GetAudioDeviceStatus(id) != SDL_AUDIO_STOPPED) return id;
  return 0;
}

int mixFrames(const char* driver) {
  const bool server = driver && std::strcmp(driver, "pulseaudio") == 0;
  // Without the queue asked for, small blocks would be all the server holds.
  return server && std::getenv("PULSE_LATENCY_MSEC") ? kFramesToServer : kFramesToDevice;
}

}  // namespace

void SdlOutput::prepareProcess() {
  // libpulse reads this for each stream it opens; a value the person set
  // stands.
  ::setenv("PULSE_LATENCY_MSEC", kServerQueueMs, 0);
}

SdlOutput::SdlOutput() : SdlOutput(Drivers{}) {}

SdlOutput::SdlOutput(Drivers drivers) : drivers_(std::move(drivers)) {
  rest_.setSingleShot(true);
  QObject::connect(&rest_, &QTimer::timeout, &rest_, [this] { restIfQuiet(); });
}

SdlOutput::~SdlOutput() { close(); }

void SdlOutput::selectOutput(int outputType) {
  switch (outputType) {
    case 1: selected_ = drivers_.direct; break;
    case 2: selected_ = drivers_.server; break;
    default: selected_.clear(); break;
  }
}

std::string SdlOutput::describe(const char* driver) {
  const char* why = SDL_GetError();
  std::string text = driver ? driver : "default driver";
  if (why && *why) text += std::string(": ") + why;
  return text;
}

namespace {
// Sets SDL's driver for the next start of its audio subsystem.
void chooseDriver(const char* driver) {
  if (driver) {
    // Above SDL_AUDIODRIVER from the environment: the list's choice is what
    // the person asked for.
    SDL_SetHintWithPriority(SDL_HINT_AUDIODRIVER, driver, SDL_HINT_OVERRIDE);
  } else {
    SDL_ResetHint(SDL_HINT_AUDIODRIVER);
  }
}
}  // namespace

bool SdlOutput::openWith(const char* driver, int mixRate) {
  chooseDriver(driver);
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
  if (Mix_OpenAudio(mixRate, AUDIO_S16SYS, 2, mixFrames(SDL_GetCurrentAudioDriver())) != 0) {
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return false;
  }
  return true;
}

void SdlOutput::init(int mixRate, int channels) {
  if (open_) return;
  // SDL would otherwise take over SIGINT and SIGTERM, and Ctrl+C or the
  // desktop's close would no longer end the program.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  // The mixing thread asks for real-time scheduling (through RealtimeKit
  // on a desktop), as sound servers' clients do: with small buffers, a busy
  // machine that makes it wait leaves a hole in the sound.
  SDL_SetHint(SDL_HINT_THREAD_FORCE_REALTIME_TIME_CRITICAL, "1");
  openError_.clear();
  if (!selected_.empty()) {
    open_ = openWith(selected_.c_str(), mixRate);
    if (!open_) openError_ = describe(selected_.c_str());
  }
  if (!open_) {
    open_ = openWith(nullptr, mixRate);
    if (!open_ && openError_.empty()) openError_ = describe(nullptr);
  }
  SDL_ResetHint(SDL_HINT_AUDIODRIVER);
  if (open_) {
    openError_.clear();
    const char* name = SDL_GetCurrentAudioDriver();
    driver_ = name ? name : "";
    Mix_QuerySpec(&format_.rate, &format_.encoding, &format_.channels);
    format_.frames = mixFrames(name);
    mixChannels_ = channels;
    Mix_AllocateChannels(channels);
    Mix_SetPostMix(raiseMixingThread, nullptr);
    device_ = openedDevice();
    lastSound_ = std::chrono::steady_clock::now();
    rest_.start(restMs_);
  }
}

void SdlOutput::restIfQuiet() {
  if (!open_ || resting_) return;
  const auto quiet = std::chrono::duration_cast<std::chrono::milliseconds>(
                         std::chrono::steady_clock::now() - lastSound_).count();
  if (quiet < restMs_) {
    rest_.start(static_cast<int>(restMs_ - quiet));
    return;
  }
  if (Mix_Playing(-1) > 0 && !deviceLost()) {  // a long sample still sounds
    rest_.start(restMs_);
    return;
  }
  giveBack();
}

void SdlOutput::giveBack() {
  Mix_CloseAudio();
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
  device_ = 0;
  resting_ = true;
}

bool SdlOutput::deviceLost() const {
  // SDL marks a device that failed under it as stopped, and goes on mixing
  // into nothing.
  return open_ && !resting_ && device_ != 0 && SDL_GetAudioDeviceStatus(device_) == SDL_AUDIO_STOPPED;
}

bool SdlOutput::wake() {
  chooseDriver(driver_.c_str());
  const bool opened = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0 &&
                      // No change allowed: SDL converts, if it must, to the
                      // format the samples were loaded in.
                      Mix_OpenAudioDevice(format_.rate, format_.encoding, format_.channels, format_.frames,
                                          nullptr, 0) == 0;
  SDL_ResetHint(SDL_HINT_AUDIODRIVER);
  if (!opened) {
    // The sound is lost, not the game: the next sound tries again.
    if (!wakeFailed_)
      std::fprintf(stderr, "cantiere: the sound output did not open again, so a sound was lost (%s)\n",
                   describe(driver_.c_str()).c_str());
    wakeFailed_ = true;
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return false;
  }
  wakeFailed_ = false;
  resting_ = false;
  Mix_AllocateChannels(mixChannels_);
  Mix_SetPostMix(raiseMixingThread, nullptr);
  device_ = openedDevice();
  return true;
}

SampleHandle SdlOutput::load(const char* path) {
  if (!open_) return 0;
  // Read here, not by the library: a FIFO or a device in SOUND/ must not
  // hang the program, nor a huge file fill its memory. Either is a sample
  // that did not load.
  const FileText file = readRegularFile(path, kSampleSizeLimit);
  if (file.status != FileText::Ok) return 0;
  Mix_Chunk* chunk = Mix_LoadWAV_RW(SDL_RWFromConstMem(file.text.data(), static_cast<int>(file.text.size())), 1);
  if (!chunk) return 0;
  loaded_.push_back(chunk);
  return reinterpret_cast<SampleHandle>(chunk);
}

void SdlOutput::play(SampleHandle sample) {
  if (!open_ || sample == 0) return;
  if (deviceLost()) {
    // A sound server that restarted, or a card unplugged: SDL cannot come
    // back by itself, a new start of its audio subsystem can.
    std::fprintf(stderr, "cantiere: the sound output (%s) went away; opening it again\n", driver_.c_str());
    giveBack();
  }
  if (resting_ && !wake()) return;
  // -1: the first free channel; with all of them busy the sound is dropped
  // rather than cutting one that plays.
  Mix_PlayChannel(-1, chunkOf(sample), 0);
  lastSound_ = std::chrono::steady_clock::now();
  if (!rest_.isActive()) rest_.start(restMs_);
}

void SdlOutput::stopAll() {
  if (open_ && !resting_) Mix_HaltChannel(-1);
}

void SdlOutput::free(SampleHandle sample) {
  // Only what this output loaded and still holds: a null or stale handle is
  // harmless.
  const auto it = std::find(loaded_.begin(), loaded_.end(), chunkOf(sample));
  if (sample == 0 || it == loaded_.end()) return;
  Mix_FreeChunk(*it);  // stops the channels that play it first
  loaded_.erase(it);
}

void SdlOutput::close() {
  if (!open_) return;
  rest_.stop();
  if (!resting_) Mix_HaltChannel(-1);
  for (Mix_Chunk* chunk : loaded_) Mix_FreeChunk(chunk);
  loaded_.clear();
  if (!resting_) {
    Mix_CloseAudio();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
  }
  open_ = false;
  resting_ = false;
  device_ = 0;
}

const char* SdlOutput::openError() const { return open_ || openError_.empty() ? nullptr : openError_.c_str(); }

std::string SdlOutput::driver() const { return open_ ? driver_ : std::string(); }

}  // namespace cantiere
