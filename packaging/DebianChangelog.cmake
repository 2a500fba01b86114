# SPDX-FileCopyrightText: 2026 Velmia developers
# SPDX-License-Identifier: MIT
# Run by cpack after it has installed the files it packs: writes each
# package's changelog, signed by the packages' maintainer, compressed as Debian
# policy asks (gzip -9, no name or time). The packages are native (the project
# is its own upstream, there is no Debian revision) and come from one source,
# so each has the same usr/share/doc/PACKAGE/changelog.gz. cpack installs each
# package's files (one component each) in a folder of its own.
set(VERSION "${CPACK_PACKAGE_VERSION}")
set(MAINTAINER "${CPACK_DEBIAN_PACKAGE_MAINTAINER}")
set(DATE "${CPACK_VELMIA_CHANGELOG_DATE}")
foreach(component IN LISTS CPACK_COMPONENTS_ALL)
  string(TOUPPER "${component}" upper)
  set(package "${CPACK_DEBIAN_${upper}_PACKAGE_NAME}")
  set(root "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/${component}")
  if(NOT IS_DIRECTORY "${root}")
    message(FATAL_ERROR "cpack installed no files for the package ${package} in ${root}")
  endif()
  set(velmia_doc "${root}${CPACK_PACKAGING_INSTALL_PREFIX}/share/doc/${package}")
  file(MAKE_DIRECTORY "${velmia_doc}")
  configure_file("${CPACK_VELMIA_CHANGELOG_IN}" "${velmia_doc}/changelog" @ONLY)
  file(REMOVE "${velmia_doc}/changelog.gz")
  execute_process(COMMAND gzip -9n "${velmia_doc}/changelog" RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "gzip could not compress ${velmia_doc}/changelog (${rc})")
  endif()
  file(CHMOD "${velmia_doc}/changelog.gz" PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
endforeach()
