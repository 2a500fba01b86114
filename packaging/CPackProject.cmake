# SPDX-FileCopyrightText: 2026 Velmia developers
# SPDX-License-Identifier: MIT
# Read by cpack before it builds the Debian package. The package names the
# person or team that answers for it: VELMIA_MAINTAINER when the build was
# configured with one, else DEBFULLNAME and DEBEMAIL of the environment (the
# variables Debian's own tools read; DEBEMAIL alone may be "Name <address>").
# Without any of them no package is built: it would name nobody, or a made-up
# address.
if(CPACK_GENERATOR STREQUAL "DEB" AND "${CPACK_DEBIAN_PACKAGE_MAINTAINER}" STREQUAL "")
  set(velmia_name "$ENV{DEBFULLNAME}")
  set(velmia_mail "$ENV{DEBEMAIL}")
  if(velmia_mail MATCHES "^(.*[^ ]) *<([^<>]+)>$")
    if(velmia_name STREQUAL "")
      set(velmia_name "${CMAKE_MATCH_1}")
    endif()
    set(velmia_mail "${CMAKE_MATCH_2}")
  endif()
  if(velmia_name STREQUAL "" OR NOT velmia_mail MATCHES "^[^@ <>]+@[^@ <>]+$")
    message(FATAL_ERROR
      "The Debian package needs a maintainer: configure with -DVELMIA_MAINTAINER=\"Name <address>\", or set "
      "DEBFULLNAME=\"Name\" and DEBEMAIL=\"address\" (or DEBEMAIL=\"Name <address>\") in the environment "
      "of make package.")
  endif()
  set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${velmia_name} <${velmia_mail}>")
endif()
set(CPACK_PACKAGE_CONTACT "${CPACK_DEBIAN_PACKAGE_MAINTAINER}")
