// SPDX-License-Identifier: GPL-3.0-or-later
// Never run: it links every SDL function the desktop program loads on first
// use (sdl_functions.h), so the build fails where SDL lacks one, and
// dpkg-shlibdeps, reading it, gives the package the SDL libraries, and
// their versions, that the desktop program needs but does not link.
#include <SDL.h>
#include <SDL_mixer.h>

#include "frontend/sdl/sdl_functions.h"

#define CANTIERE_SDL_ADDRESS(library, type, name, parameters, arguments, answer) \
  reinterpret_cast<const void*>(&name),
#define CANTIERE_SDL_PROCEDURE_ADDRESS(library, name, parameters, arguments) \
  reinterpret_cast<const void*>(&name),

int main(int argc, char**) {
  static const void* const functions[] = {
      CANTIERE_SDL_FUNCTIONS(CANTIERE_SDL_ADDRESS, CANTIERE_SDL_PROCEDURE_ADDRESS)};
  // Read, so that no reference can be left out.
  return functions[static_cast<unsigned>(argc) % (sizeof functions / sizeof *functions)] == nullptr;
}
