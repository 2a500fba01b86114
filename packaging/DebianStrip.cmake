# SPDX-FileCopyrightText: 2026 Velmia developers
# SPDX-License-Identifier: MIT
# Run by cpack after it has installed (and stripped) the files it packs: takes
# the compiler's version notes (the .comment section) out of every program and
# library, as Debian's own packages do. They say only which compiler built the
# file; lintian reports them.
file(GLOB_RECURSE files LIST_DIRECTORIES false "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*")
foreach(file IN LISTS files)
  if(IS_SYMLINK "${file}")
    continue()
  endif()
  file(READ "${file}" magic LIMIT 4 HEX)
  if(NOT magic STREQUAL "7f454c46")
    continue()
  endif()
  execute_process(COMMAND "${CPACK_VELMIA_OBJCOPY}" --remove-section=.comment "${file}" RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "objcopy could not remove the .comment section of ${file} (${rc})")
  endif()
endforeach()
