# SPDX-License-Identifier: GPL-3.0-or-later
# Writes the table of the files built into the program: one line a file,
# CANTIERE_BUILTIN_FILE(index, "path under assets", "absolute path",
# "SHA-256"), rewritten only when something changed.
file(READ ${LIST} files)
set(out "// Generated from the files under assets/; do not edit.\n")
set(index 0)
foreach(file IN LISTS files)
  file(SHA256 ${ASSETS}/${file} digest)
  string(APPEND out "CANTIERE_BUILTIN_FILE(${index}, \"${file}\", \"${ASSETS}/${file}\", \"${digest}\")\n")
  math(EXPR index "${index} + 1")
endforeach()
file(WRITE ${OUT}.new "${out}")
file(COPY_FILE ${OUT}.new ${OUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUT}.new)
