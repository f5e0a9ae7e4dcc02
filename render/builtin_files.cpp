// SPDX-License-Identifier: GPL-3.0-or-later
// The bytes of each file go into the program's read-only data as they are,
// by the assembler (no toolkit's resource compiler, no copy into source
// text); the generated list names them, sorted by path.
#include "render/builtin_files.h"

#include <algorithm>
#include <iterator>

// Each file's bytes between two labels. The digest makes a changed file a
// changed source for any compiler cache.
#define CANTIERE_BUILTIN_FILE(n, path, file, digest)                          \
  __asm__(".section .rodata\n.balign 16\n"                                  \
          "cantiere_builtin_" #n ":\n.incbin \"" file "\"\n"                \
          "cantiere_builtin_" #n "_end:\n.previous\n");                     \
  static_assert(sizeof(digest) == 65);
#include "render/builtin_files.inc"
#undef CANTIERE_BUILTIN_FILE

#define CANTIERE_BUILTIN_FILE(n, path, file, digest) \
  extern "C" const unsigned char cantiere_builtin_##n[], cantiere_builtin_##n##_end[];
#include "render/builtin_files.inc"
#undef CANTIERE_BUILTIN_FILE

namespace cantiere {
namespace {

struct Entry {
  std::string_view path;
  const unsigned char* begin;
  const unsigned char* end;
};

constexpr Entry kFiles[] = {
#define CANTIERE_BUILTIN_FILE(n, path, file, digest) {path, cantiere_builtin_##n, cantiere_builtin_##n##_end},
#include "render/builtin_files.inc"
#undef CANTIERE_BUILTIN_FILE
};

}  // namespace

FileBytes builtInFile(std::string_view path) {
  const auto at = std::lower_bound(std::begin(kFiles), std::end(kFiles), path,
                                   [](const Entry& e, std::string_view p) { return e.path < p; });
  if (at == std::end(kFiles) || at->path != path) return {};
  return {at->begin, static_cast<std::size_t>(at->end - at->begin)};
}

}  // namespace cantiere
