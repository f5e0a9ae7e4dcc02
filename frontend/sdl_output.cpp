#include "frontend/sdl_output.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "frontend/regular_file.h"

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
// mixer now hands over small blocks and the server holds 35 ms: a sound
// starts some 25 ms after its key, and the queue rides out a busy machine.
// A device opened directly keeps the larger buffer it needs.
constexpr const char* kServerQueueMs = "35";
constexpr int kFramesToServer = 128;
constexpr int kFramesToDevice = 512;

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

SdlOutput::SdlOutput(Drivers drivers) : drivers_(std::move(drivers)) {}

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

bool SdlOutput::openWith(const char* driver, int mixRate) {
  if (driver) {
    // Above SDL_AUDIODRIVER from the environment: the list's choice is what
    // the person asked for.
    SDL_SetHintWithPriority(SDL_HINT_AUDIODRIVER, driver, SDL_HINT_OVERRIDE);
  } else {
    SDL_ResetHint(SDL_HINT_AUDIODRIVER);
  }
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
    Mix_AllocateChannels(channels);
    Mix_SetPostMix(raiseMixingThread, nullptr);
  }
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
  // -1: the first free channel; with all of them busy the sound is dropped
  // rather than cutting one that plays.
  Mix_PlayChannel(-1, chunkOf(sample), 0);
}

void SdlOutput::stopAll() {
  if (open_) Mix_HaltChannel(-1);
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
  Mix_HaltChannel(-1);
  for (Mix_Chunk* chunk : loaded_) Mix_FreeChunk(chunk);
  loaded_.clear();
  Mix_CloseAudio();
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
  open_ = false;
}

const char* SdlOutput::openError() const { return open_ || openError_.empty() ? nullptr : openError_.c_str(); }

std::string SdlOutput::driver() const {
  if (!open_) return {};
  const char* name = SDL_GetCurrentAudioDriver();
  return name ? name : "";
}

}  // namespace cantiere
