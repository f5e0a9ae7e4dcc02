// SPDX-License-Identifier: GPL-3.0-or-later
// SDL2 and SDL2_mixer are loaded when the program first calls them, not as
// it starts: with what they link (two sound servers' clients, MIDI
// synthesis, a dozen decoders) they were half of the libraries loaded
// before the launcher showed, a third of its start and some 5 MB. Sound
// calls them at PLAY, game controllers as the handheld first shows; a run
// that chooses "(no sound)" with no controller never loads the mixer.
//
// Each function of sdl_functions.h is defined here under its own name, so
// the code that uses SDL reads as plain SDL: the first call of one of a
// library's functions opens that library, and each function looks up its
// counterpart there once. A library that cannot be loaded, or lacks the
// function, makes it answer as SDL answers a failure, and SDL_GetError()
// then gives the reason.
#include <SDL.h>
#include <SDL_mixer.h>
#include <dlfcn.h>

#include <string>

#include "frontend/sdl/sdl_functions.h"

namespace cantiere::sdl {

enum Library { Sdl, Mixer };

namespace {

struct Loaded {
  const char* name;
  void* handle;
  std::string error;  // why it did not load
};

Loaded open(const char* name) {
  Loaded library{name, dlopen(name, RTLD_LAZY | RTLD_LOCAL), {}};
  if (!library.handle) {
    const char* why = dlerror();
    library.error = why ? why : std::string("cannot load ") + name;
  }
  return library;
}

const Loaded& loaded(Library which) {
  if (which == Sdl) {
    static const Loaded sdl = open("libSDL2-2.0.so.0");
    return sdl;
  }
  static const Loaded mixer = open("libSDL2_mixer-2.0.so.0");
  return mixer;
}

}  // namespace

const char* sdlLoadError() { return loaded(Sdl).error.c_str(); }

void* symbol(Library which, const char* name) {
  const Loaded& library = loaded(which);
  return library.handle ? dlsym(library.handle, name) : nullptr;
}

// The reason a function cannot be called, as SDL's error where SDL itself
// is there to hold it.
void failed(Library which, const char* function) {
  const Loaded& library = loaded(which);
  const std::string why =
      library.handle ? std::string(function) + " is missing from " + library.name : library.error;
  using SetError = int(const char* format, ...);
  if (auto* setError = reinterpret_cast<SetError*>(symbol(Sdl, "SDL_SetError")))
    setError("%s", why.c_str());
}

}  // namespace cantiere::sdl

#define CANTIERE_SDL_FORWARD(library, type, name, parameters, arguments, answer)      \
  extern "C" type name parameters {                                                   \
    using Function = type parameters;                                                 \
    static Function* const real =                                                     \
        reinterpret_cast<Function*>(cantiere::sdl::symbol(cantiere::sdl::library, #name)); \
    if (!real) {                                                                      \
      cantiere::sdl::failed(cantiere::sdl::library, #name);                           \
      return answer;                                                                  \
    }                                                                                 \
    return real arguments;                                                            \
  }
#define CANTIERE_SDL_FORWARD_PROCEDURE(library, name, parameters, arguments)          \
  extern "C" void name parameters {                                                   \
    using Function = void parameters;                                                 \
    static Function* const real =                                                     \
        reinterpret_cast<Function*>(cantiere::sdl::symbol(cantiere::sdl::library, #name)); \
    if (real) real arguments;                                                         \
  }

CANTIERE_SDL_FUNCTIONS(CANTIERE_SDL_FORWARD, CANTIERE_SDL_FORWARD_PROCEDURE)
