// SPDX-License-Identifier: GPL-3.0-or-later
// Every function of SDL2 and SDL2_mixer the desktop program calls, with what
// each answers when its library cannot be loaded (a failure, or nothing):
//   CANTIERE_SDL_FUNCTION(library, return type, name, (parameters), (arguments), answer)
//   CANTIERE_SDL_PROCEDURE(library, name, (parameters), (arguments))
// The program loads the libraries as the first of these is called
// (sdl_on_demand.cpp); packaging/ links them all, so a function missing from
// SDL fails the build and the package depends on the versions that have them.
// Include <SDL.h> and <SDL_mixer.h> first.

#define CANTIERE_SDL_FUNCTIONS(F, P)                                                             \
  F(Sdl, const char*, SDL_GetError, (void), (), ::cantiere::sdl::sdlLoadError())                 \
  F(Sdl, SDL_bool, SDL_SetHint, (const char* name, const char* value), (name, value), SDL_FALSE) \
  F(Sdl, SDL_bool, SDL_SetHintWithPriority,                                                      \
    (const char* name, const char* value, SDL_HintPriority priority), (name, value, priority),    \
    SDL_FALSE)                                                                                   \
  F(Sdl, SDL_bool, SDL_ResetHint, (const char* name), (name), SDL_FALSE)                         \
  F(Sdl, int, SDL_InitSubSystem, (Uint32 flags), (flags), -1)                                    \
  P(Sdl, SDL_QuitSubSystem, (Uint32 flags), (flags))                                             \
  P(Sdl, SDL_PumpEvents, (void), ())                                                             \
  F(Sdl, int, SDL_PeepEvents,                                                                    \
    (SDL_Event * events, int numevents, SDL_eventaction action, Uint32 minType, Uint32 maxType), \
    (events, numevents, action, minType, maxType), -1)                                           \
  P(Sdl, SDL_FlushEvents, (Uint32 minType, Uint32 maxType), (minType, maxType))                  \
  F(Sdl, SDL_RWops*, SDL_RWFromConstMem, (const void* mem, int size), (mem, size), nullptr)      \
  F(Sdl, const char*, SDL_GetCurrentAudioDriver, (void), (), nullptr)                            \
  F(Sdl, SDL_AudioStatus, SDL_GetAudioDeviceStatus, (SDL_AudioDeviceID dev), (dev),              \
    SDL_AUDIO_STOPPED)                                                                           \
  F(Sdl, int, SDL_NumJoysticks, (void), (), 0)                                                   \
  F(Sdl, SDL_bool, SDL_IsGameController, (int joystick_index), (joystick_index), SDL_FALSE)      \
  F(Sdl, const char*, SDL_JoystickNameForIndex, (int device_index), (device_index), nullptr)     \
  F(Sdl, SDL_bool, SDL_JoystickIsVirtual, (int device_index), (device_index), SDL_FALSE)         \
  F(Sdl, SDL_JoystickID, SDL_JoystickGetDeviceInstanceID, (int device_index), (device_index),    \
    -1)                                                                                          \
  F(Sdl, SDL_Joystick*, SDL_JoystickOpen, (int device_index), (device_index), nullptr)           \
  P(Sdl, SDL_JoystickClose, (SDL_Joystick * joystick), (joystick))                               \
  F(Sdl, SDL_JoystickID, SDL_JoystickInstanceID, (SDL_Joystick * joystick), (joystick), -1)      \
  F(Sdl, int, SDL_JoystickAttachVirtualEx, (const SDL_VirtualJoystickDesc* desc), (desc), -1)    \
  F(Sdl, int, SDL_JoystickDetachVirtual, (int device_index), (device_index), -1)                 \
  F(Sdl, int, SDL_JoystickSetVirtualAxis, (SDL_Joystick * joystick, int axis, Sint16 value),     \
    (joystick, axis, value), -1)                                                                 \
  F(Sdl, int, SDL_JoystickSetVirtualButton, (SDL_Joystick * joystick, int button, Uint8 value),  \
    (joystick, button, value), -1)                                                               \
  F(Sdl, SDL_GameController*, SDL_GameControllerOpen, (int joystick_index), (joystick_index),    \
    nullptr)                                                                                     \
  P(Sdl, SDL_GameControllerClose, (SDL_GameController * gamecontroller), (gamecontroller))       \
  F(Sdl, SDL_Joystick*, SDL_GameControllerGetJoystick, (SDL_GameController * gamecontroller),    \
    (gamecontroller), nullptr)                                                                   \
  F(Sdl, const char*, SDL_GameControllerPath, (SDL_GameController * gamecontroller),             \
    (gamecontroller), nullptr)                                                                   \
  F(Sdl, SDL_GameControllerButton, SDL_GameControllerGetButtonFromString, (const char* str),     \
    (str), SDL_CONTROLLER_BUTTON_INVALID)                                                        \
  F(Sdl, SDL_GameControllerAxis, SDL_GameControllerGetAxisFromString, (const char* str), (str),  \
    SDL_CONTROLLER_AXIS_INVALID)                                                                 \
  F(Mixer, int, Mix_OpenAudio, (int frequency, Uint16 format, int channels, int chunksize),      \
    (frequency, format, channels, chunksize), -1)                                                \
  F(Mixer, int, Mix_OpenAudioDevice,                                                             \
    (int frequency, Uint16 format, int channels, int chunksize, const char* device,              \
     int allowed_changes),                                                                       \
    (frequency, format, channels, chunksize, device, allowed_changes), -1)                       \
  P(Mixer, Mix_CloseAudio, (void), ())                                                           \
  F(Mixer, int, Mix_QuerySpec, (int* frequency, Uint16* format, int* channels),                  \
    (frequency, format, channels), 0)                                                            \
  F(Mixer, int, Mix_AllocateChannels, (int numchans), (numchans), 0)                             \
  P(Mixer, Mix_SetPostMix, (void(SDLCALL * mix_func)(void* udata, Uint8* stream, int len),       \
                            void* arg),                                                          \
    (mix_func, arg))                                                                             \
  F(Mixer, Mix_Chunk*, Mix_LoadWAV_RW, (SDL_RWops * src, int freesrc), (src, freesrc), nullptr)  \
  P(Mixer, Mix_FreeChunk, (Mix_Chunk * chunk), (chunk))                                          \
  F(Mixer, int, Mix_PlayChannel, (int channel, Mix_Chunk* chunk, int loops),                     \
    (channel, chunk, loops), -1)                                                                 \
  F(Mixer, int, Mix_Playing, (int channel), (channel), 0)                                        \
  F(Mixer, int, Mix_HaltChannel, (int channel), (channel), 0)
