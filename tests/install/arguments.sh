#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Velmia developers
# SPDX-License-Identifier: MIT
# The built program's arguments, with no display: --help prints the usage and
# the key tables (the same text as velmia-keyhelp --text), --version the
# version, anything else one error line and the usage with status 2. Qt's
# standard options are left to Qt: beside them --help and --version answer the
# same, and the program starts on them (here -platform offscreen, as there is
# no display). Under a Japanese locale --help and the error are in Japanese.
#   arguments.sh VELMIA VELMIA_KEYHELP VERSION RUN_DIR
set -u
velmia=$1
keyhelp=$2
version=$3
rundir=$4
fail() {
    echo "FAIL: $*" >&2
    exit 1
}
tmp=$(mktemp -d "${TMPDIR:-/tmp}/velmia-args.XXXXXX")
pid=""
trap '[ -n "$pid" ] && kill "$pid" 2>/dev/null; rm -rf "$tmp"' EXIT
unset DISPLAY WAYLAND_DISPLAY LANGUAGE
export LC_ALL=C
export QT_QPA_PLATFORM=none-such
# The program started on -platform offscreen wants a private runtime folder;
# without one Qt makes runtime-$USER in the temporary folder and leaves it.
mkdir -m 700 "$tmp/runtime"
export XDG_RUNTIME_DIR="$tmp/runtime"

help=$("$keyhelp" --text)
for args in "--help" "-style Fusion --help" "--help --stylesheet=x.qss -reverse"; do
    # shellcheck disable=SC2086
    out=$("$velmia" $args) || fail "'$args' exits with $?"
    [ "$out" = "$help" ] || fail "'$args' does not print the key table"
done
for args in "--version" "-platform offscreen --version" "-display :9 --version -session s1"; do
    # shellcheck disable=SC2086
    out=$("$velmia" $args) || fail "'$args' exits with $?"
    [ "$out" = "velmia $version" ] || fail "'$args' prints '$out'"
done

for args in "--bogus" "-help" "portrait.bmp" "--help --version" "-style Fusion --bogus" "-display :0 x.bmp" \
    "-platform=xcb"; do
    # shellcheck disable=SC2086
    out=$("$velmia" $args 2>"$tmp/err")
    status=$?
    err=$(cat "$tmp/err")
    [ "$status" = 2 ] || fail "'$args' exits with $status"
    [ -z "$out" ] || fail "'$args' prints on standard output"
    [ "$(echo "$err" | head -1)" = "velmia: unknown argument '${args##* }'" ] || fail "'$args': $(echo "$err" | head -1)"
    [ "$(echo "$err" | sed -n 2p)" = "usage: velmia [--watch] [--look FILE | --help | --version]" ] || fail "'$args' prints no usage"
done

# Qt takes its options: -platform overrides QT_QPA_PLATFORM, which names no
# platform here, and the portrait is painted.
ls "$rundir"/vlm_*.bmp >/dev/null 2>&1 || fail "no default pictures in $rundir"
mkdir "$tmp/run"
cp "$rundir"/*.bmp "$tmp/run/"
(cd "$tmp/run" && VELMIA_REPORT_FIRST_FRAME=1 exec "$velmia" -platform offscreen -style Fusion -reverse \
    -qwindowtitle Velmia >"$tmp/out" 2>"$tmp/err") &
pid=$!
for _ in $(seq 200); do
    grep -q "first frame painted" "$tmp/err" && break
    kill -0 "$pid" 2>/dev/null || { wait "$pid"; fail "the program ended with $? on Qt's options: $(head -3 "$tmp/err")"; }
    sleep 0.1
done
grep -q "first frame painted" "$tmp/err" || fail "no frame painted within 20 s: $(head -3 "$tmp/err")"
# In Japanese, with a locale built here (a fresh system has none generated):
# --help and the wrong-argument report come from the catalogue, and --help is
# still exactly the text the key tables are written from.
mkdir "$tmp/locale"
localedef -i ja_JP -f UTF-8 "$tmp/locale/ja_JP.UTF-8" >/dev/null 2>&1 ||
    fail "localedef cannot build ja_JP.UTF-8 (Debian package locales)"
ja=(env -u LC_ALL -u LC_MESSAGES -u LANGUAGE LANG=ja_JP.UTF-8 LOCPATH="$tmp/locale")
out=$("${ja[@]}" "$velmia" --help) || fail "--help in Japanese exits with $?"
[ "$out" = "$("${ja[@]}" "$keyhelp" --text)" ] || fail "the Japanese --help is not velmia-keyhelp's Japanese text"
[ "$(echo "$out" | head -1)" = "使い方: velmia [--watch] [--look FILE | --help | --version]" ] || fail "Japanese --help: $(echo "$out" | head -1)"
for line in "  x           X    目を閉じる・開く" "  F2               パーツブラウザー：衣装（vlm_co*.bmp）" \
    "マウスとホイール："; do
    echo "$out" | grep -qF -- "$line" || fail "Japanese --help has no line '$line'"
done
echo "$out" | grep -q "Close or open the eyes" && fail "Japanese --help still has English key help"
"${ja[@]}" "$velmia" --bogus >/dev/null 2>"$tmp/err" && fail "a wrong argument is accepted in Japanese"
[ "$(head -1 "$tmp/err")" = "velmia: 不明な引数「--bogus」" ] || fail "Japanese wrong argument: $(head -1 "$tmp/err")"
echo "arguments: ok"
