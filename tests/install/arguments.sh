#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Velmia developers
# SPDX-License-Identifier: MIT
# The built program's arguments, with no display: --help prints the usage and
# the key tables (the same text as velmia-keyhelp --text), --version the
# version, anything else one error line and the usage with status 2.
#   arguments.sh VELMIA VELMIA_KEYHELP VERSION
set -u
velmia=$1
keyhelp=$2
version=$3
fail() {
    echo "FAIL: $*" >&2
    exit 1
}
tmp=$(mktemp -d "${TMPDIR:-/tmp}/velmia-args.XXXXXX")
trap 'rm -rf "$tmp"' EXIT
unset DISPLAY WAYLAND_DISPLAY
export QT_QPA_PLATFORM=none-such

out=$("$velmia" --help) || fail "--help exits with $?"
[ "$out" = "$("$keyhelp" --text)" ] || fail "--help does not print the key table"
out=$("$velmia" --version) || fail "--version exits with $?"
[ "$out" = "velmia $version" ] || fail "--version prints '$out'"

for args in "--bogus" "-help" "portrait.bmp" "--help --version"; do
    # shellcheck disable=SC2086
    out=$("$velmia" $args 2>"$tmp/err")
    status=$?
    err=$(cat "$tmp/err")
    [ "$status" = 2 ] || fail "'$args' exits with $status"
    [ -z "$out" ] || fail "'$args' prints on standard output"
    [ "$(echo "$err" | head -1)" = "velmia: unknown argument '${args##* }'" ] || fail "'$args': $(echo "$err" | head -1)"
    [ "$(echo "$err" | sed -n 2p)" = "usage: velmia [--help | --version]" ] || fail "'$args' prints no usage"
done
echo "arguments: ok"
