# SPDX-FileCopyrightText: 2026 Velmia developers
# SPDX-License-Identifier: MIT
# Installs the manual pages, compressed (gzip -9, no name or time), with the
# real place of the installed pictures written in: it is known only now, for
# `cmake --install --prefix` and the package choose the prefix at install time.
#   VELMIA_MAN_PAGES  list of SOURCE>NAME.SECTION
#   VELMIA_MAN_DATA   the pictures' folder below the prefix (share/velmia)
#   VELMIA_MAN_VERSION, VELMIA_MAN_DATE
set(velmia_data "${CMAKE_INSTALL_PREFIX}/${VELMIA_MAN_DATA}")
foreach(entry IN LISTS VELMIA_MAN_PAGES)
  string(REPLACE ">" ";" entry "${entry}")
  list(GET entry 0 source)
  list(GET entry 1 name)
  string(REGEX REPLACE ".*\\.([0-9])$" "\\1" section "${name}")
  set(dir "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/${VELMIA_MAN_DIR}/man${section}")
  file(READ "${source}" page)
  string(REPLACE "@DATADIR@" "${velmia_data}" page "${page}")
  string(REPLACE "@VERSION@" "${VELMIA_MAN_VERSION}" page "${page}")
  string(REPLACE "@DATE@" "${VELMIA_MAN_DATE}" page "${page}")
  if(page MATCHES "@[A-Z_]+@")
    message(FATAL_ERROR "${source}: ${CMAKE_MATCH_0} is left in the manual page")
  endif()
  message(STATUS "Installing: ${dir}/${name}.gz")
  file(MAKE_DIRECTORY "${dir}")
  file(REMOVE "${dir}/${name}" "${dir}/${name}.gz")
  file(WRITE "${dir}/${name}" "${page}")
  execute_process(COMMAND gzip -9n "${dir}/${name}" RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "gzip could not compress ${dir}/${name} (${rc})")
  endif()
  file(CHMOD "${dir}/${name}.gz" PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
  list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${CMAKE_INSTALL_PREFIX}/${VELMIA_MAN_DIR}/man${section}/${name}.gz")
endforeach()
