#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Velmia developers
# SPDX-License-Identifier: MIT
# Builds the Debian packages from the build (cpack, in a temporary folder) and
# checks them as a distribution would: lintian reports no error, no warning, no
# missing hardening and no compiler notes left in a program; the programs'
# package recommends Qt's Wayland plugin, suggests a Japanese font and depends
# on the pictures' package of exactly its version, which is the same for every
# architecture; both carry a homepage only when one is configured and name the
# maintainer they were given. Without a maintainer no package is built, with a
# message that says how to name one.
#   lintian.sh BUILD_DIR
set -euo pipefail
build=$(realpath "$1")
tmp=$(mktemp -d "${TMPDIR:-/tmp}/velmia-lintian.XXXXXX")
# lintian leaves a cache file in TMPDIR: this test's own folder.
export TMPDIR="$tmp"
trap 'rm -rf "$tmp"' EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}
for tool in lintian cpack dpkg-deb dpkg-shlibdeps; do
    command -v "$tool" >/dev/null || fail "$tool is not installed (scripts/install-deps installs it)"
done
cache() { sed -n "s/^$1:[A-Z]*=//p" "$build/CMakeCache.txt"; }
homepage=$(cache VELMIA_HOMEPAGE)
maintainer=$(cache VELMIA_MAINTAINER)

if [ -z "$maintainer" ]; then
    # Nobody named: no package, and a message that says how to name one.
    if env -u DEBFULLNAME -u DEBEMAIL cpack --config "$build/CPackConfig.cmake" -B "$tmp/none" >"$tmp/none.log" 2>&1; then
        fail "a package was built without a maintainer"
    fi
    grep -q "VELMIA_MAINTAINER" "$tmp/none.log" || fail "no message on the missing maintainer: $(tail -3 "$tmp/none.log")"
    # This test's own maintainer, in a domain reserved for tests.
    export DEBFULLNAME="Velmia package test" DEBEMAIL="package-test@velmia.test"
    maintainer="$DEBFULLNAME <$DEBEMAIL>"
fi
cpack --config "$build/CPackConfig.cmake" -B "$tmp/pkg" >"$tmp/cpack.log" 2>&1 || {
    cat "$tmp/cpack.log" >&2
    fail "cpack failed"
}
deb=$(find "$tmp/pkg" -maxdepth 1 -name 'velmia_*.deb')
data=$(find "$tmp/pkg" -maxdepth 1 -name 'velmia-data_*.deb')
[ -n "$deb" ] && [ -n "$data" ] || fail "cpack did not write both packages: $(tail -3 "$tmp/cpack.log")"

version=$(dpkg-deb -f "$deb" Version)
for package in "$deb" "$data"; do
    field() { dpkg-deb -f "$package" "$1"; }
    name=$(field Package)
    [ "$(field Maintainer)" = "$maintainer" ] || fail "$name's maintainer is '$(field Maintainer)', not '$maintainer'"
    [ "$(field Homepage)" = "$homepage" ] || fail "$name's homepage is '$(field Homepage)', configured '$homepage'"
    [ "$(field Version)" = "$version" ] || fail "$name's version is $(field Version), velmia's $version"
    echo "$(basename "$package"): $(stat -c %s "$package") bytes, installed size $(field Installed-Size) KiB"
done
relations() { dpkg-deb -f "$deb" "$1" | tr ',' '\n' | sed 's/^ *//'; }
relations Recommends | sed 's/ .*//' | grep -qx qt6-wayland || fail "velmia does not recommend qt6-wayland"
relations Depends | grep -qxF "velmia-data (= $version)" || fail "velmia does not depend on velmia-data (= $version)"
relations Suggests | grep -qx fonts-noto-cjk || fail "velmia does not suggest a font for Japanese"
[ "$(dpkg-deb -f "$data" Architecture)" = all ] || fail "velmia-data is not Architecture: all"
! dpkg-deb -c "$data" | grep -E ' \./usr/(games|lib)/' || fail "velmia-data holds programs"
! dpkg-deb -c "$deb" | grep -F ' ./usr/share/velmia/' || fail "velmia holds the pictures of velmia-data"

# Every tag is shown; errors and warnings fail, and so do the hardening infos
# and the compiler notes (.comment) a program keeps.
status=0
lintian --fail-on error,warning --display-info --pedantic "$deb" "$data" >"$tmp/lintian.txt" 2>&1 || status=$?
grep -v "running with root privileges" "$tmp/lintian.txt" || true
[ "$status" = 0 ] || fail "lintian reports the errors or warnings above (status $status)"
! grep -q "hardening-no-" "$tmp/lintian.txt" || fail "lintian finds a program built without the hardening flags"
! grep -q "binary-has-unneeded-section" "$tmp/lintian.txt" || fail "a program keeps a section it does not need"
echo "lintian: no error, no warning"
