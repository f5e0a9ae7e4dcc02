# SPDX-License-Identifier: GPL-3.0-or-later
# Fails when a source file of the tree does not say its licence in its first
# two lines (the second after a #! line).
file(GLOB_RECURSE sources RELATIVE "${ROOT}"
  "${ROOT}/*.cpp" "${ROOT}/*.h" "${ROOT}/*.inc" "${ROOT}/*.sh" "${ROOT}/*.py" "${ROOT}/*.cmake"
  "${ROOT}/*CMakeLists.txt")
set(missing "")
set(count 0)
foreach(source IN LISTS sources)
  if(source MATCHES "^(build[^/]*|\\.git)/")
    continue()
  endif()
  math(EXPR count "${count} + 1")
  file(STRINGS "${ROOT}/${source}" head LIMIT_COUNT 2)
  if(NOT head MATCHES "SPDX-License-Identifier: GPL-3.0-or-later")
    string(APPEND missing "  ${source}\n")
  endif()
endforeach()
if(count EQUAL 0)
  message(FATAL_ERROR "no source found under ${ROOT}")
endif()
if(missing)
  message(FATAL_ERROR "these files do not name their licence (SPDX-License-Identifier: GPL-3.0-or-later):\n${missing}")
endif()
message(STATUS "${count} source files, each names its licence")
