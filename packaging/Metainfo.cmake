# SPDX-FileCopyrightText: 2026 Velmia developers
# SPDX-License-Identifier: MIT
# Writes the AppStream metainfo. The web addresses are those of the project's
# own site: without one (HOMEPAGE empty) the metainfo names no homepage and no
# screenshot rather than an address that leads nowhere.
#   cmake -DIN=velmia.metainfo.xml.in -DOUT=FILE -DAPP_ID=ID -DVERSION=V -DRELEASE_DATE=YYYY-MM-DD
#         [-DHOMEPAGE=URL] [-DSCREENSHOTS=URL] -P Metainfo.cmake
# SCREENSHOTS is the web folder that holds portrait.png and scene-show.png
# (default: docs/screenshots of the homepage's repository, HOMEPAGE/raw/main/docs/screenshots).
foreach(var IN ITEMS IN OUT APP_ID VERSION RELEASE_DATE)
  if("${${var}}" STREQUAL "")
    message(FATAL_ERROR "Metainfo.cmake: ${var} is not given")
  endif()
endforeach()

set(VELMIA_APP_ID "${APP_ID}")
set(VELMIA_VERSION "${VERSION}")
set(VELMIA_RELEASE_DATE "${RELEASE_DATE}")
set(VELMIA_URL_XML "")
set(VELMIA_SCREENSHOTS_XML "")
if(NOT "${HOMEPAGE}" STREQUAL "")
  if(NOT HOMEPAGE MATCHES "^https?://[^/ ]+")
    message(FATAL_ERROR "VELMIA_HOMEPAGE must be an http:// or https:// address, not \"${HOMEPAGE}\"")
  endif()
  string(REGEX REPLACE "/+$" "" HOMEPAGE "${HOMEPAGE}")
  if("${SCREENSHOTS}" STREQUAL "")
    set(SCREENSHOTS "${HOMEPAGE}/raw/main/docs/screenshots")
  endif()
  string(REGEX REPLACE "/+$" "" SCREENSHOTS "${SCREENSHOTS}")
  string(REPLACE "&" "&amp;" HOMEPAGE "${HOMEPAGE}")
  string(REPLACE "&" "&amp;" SCREENSHOTS "${SCREENSHOTS}")
  set(VELMIA_URL_XML "  <url type=\"homepage\">${HOMEPAGE}</url>\n")
  string(CONCAT VELMIA_SCREENSHOTS_XML
    "  <screenshots>\n"
    "    <screenshot type=\"default\">\n"
    "      <caption>The portrait</caption>\n"
    "      <image>${SCREENSHOTS}/portrait.png</image>\n"
    "    </screenshot>\n"
    "    <screenshot>\n"
    "      <caption>The scene show with two figures</caption>\n"
    "      <image>${SCREENSHOTS}/scene-show.png</image>\n"
    "    </screenshot>\n"
    "  </screenshots>\n")
endif()
configure_file("${IN}" "${OUT}" @ONLY)
