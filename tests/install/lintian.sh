#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Velmia developers
# SPDX-License-Identifier: MIT
# Builds the Debian package from the build (cpack, in a temporary folder) and
# checks it as a distribution would: lintian reports no error, no warning and
# no missing hardening; the package recommends Qt's Wayland plugin, carries a
# homepage only when one is configured, and names the maintainer it was given.
# Without a maintainer no package is built, with a message that says how to
# name one.
#   lintian.sh BUILD_DIR
set -euo pipefail
build=$(realpath "$1")
tmp=$(mktemp -d "${TMPDIR:-/tmp}/velmia-lintian.XXXXXX")
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
[ -n "$deb" ] || fail "cpack wrote no package: $(tail -3 "$tmp/cpack.log")"

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Maintainer)" = "$maintainer" ] || fail "the package's maintainer is '$(field Maintainer)', not '$maintainer'"
[ "$(field Homepage)" = "$homepage" ] || fail "the package's homepage is '$(field Homepage)', configured '$homepage'"
field Recommends | tr ',' '\n' | sed 's/^ *//; s/ .*//' | grep -qx qt6-wayland || fail "the package does not recommend qt6-wayland"
echo "$(basename "$deb"): $(stat -c %s "$deb") bytes, installed size $(field Installed-Size) KiB"

# Every tag is shown; errors and warnings fail, and so do the hardening infos.
status=0
lintian --fail-on error,warning --display-info --pedantic "$deb" >"$tmp/lintian.txt" 2>&1 || status=$?
grep -v "running with root privileges" "$tmp/lintian.txt" || true
[ "$status" = 0 ] || fail "lintian reports the errors or warnings above (status $status)"
! grep -q "hardening-no-" "$tmp/lintian.txt" || fail "lintian finds a program built without the hardening flags"
echo "lintian: no error, no warning"
