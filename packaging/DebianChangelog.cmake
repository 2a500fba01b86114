# SPDX-FileCopyrightText: 2026 Velmia developers
# SPDX-License-Identifier: MIT
# Run by cpack after it has installed the files it packs: writes the package's
# changelog, signed by the package's maintainer, compressed as Debian policy
# asks (gzip -9, no name or time). The package is native (the project is its
# own upstream, there is no Debian revision), so the file is
# usr/share/doc/velmia/changelog.gz.
set(velmia_doc "${CPACK_TEMPORARY_INSTALL_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX}/share/doc/velmia")
set(VERSION "${CPACK_PACKAGE_VERSION}")
set(MAINTAINER "${CPACK_DEBIAN_PACKAGE_MAINTAINER}")
set(DATE "${CPACK_VELMIA_CHANGELOG_DATE}")
file(MAKE_DIRECTORY "${velmia_doc}")
configure_file("${CPACK_VELMIA_CHANGELOG_IN}" "${velmia_doc}/changelog" @ONLY)
file(REMOVE "${velmia_doc}/changelog.gz")
execute_process(COMMAND gzip -9n "${velmia_doc}/changelog" RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "gzip could not compress ${velmia_doc}/changelog (${rc})")
endif()
file(CHMOD "${velmia_doc}/changelog.gz" PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
