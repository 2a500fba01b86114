#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Velmia developers
# SPDX-License-Identifier: MIT
# Installs the build into a temporary DESTDIR (prefix /usr, as the Debian
# package does) and checks what lands there: the programs, the default and
# extra pictures, the menu entry and the metainfo (validated), the icon at
# every size, the manual page (rendered without a warning).
#   install-tree.sh BUILD_DIR APP_ID
set -euo pipefail
build=$1
id=$2
tmp=$(mktemp -d "${TMPDIR:-/tmp}/velmia-install.XXXXXX")
trap 'rm -rf "$tmp"' EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}
for tool in desktop-file-validate appstreamcli man identify; do
    command -v "$tool" >/dev/null || fail "$tool is not installed (scripts/install-deps installs it)"
done

DESTDIR="$tmp/root" cmake --install "$build" --prefix /usr >"$tmp/install.log" || {
    cat "$tmp/install.log" >&2
    fail "cmake --install failed"
}
[ "$(ls "$tmp/root")" = usr ] || fail "files outside the prefix: $(ls "$tmp/root")"
usr=$tmp/root/usr

for program in velmia velmia-partcheck; do
    [ -x "$usr/bin/$program" ] || fail "bin/$program is not installed"
done
"$usr/bin/velmia" --version | grep -qx "velmia [0-9.]*" || fail "the installed velmia does not print its version"

# Every picture start-up needs, and every extra part the build made.
for name in vlm_scene_strawberry_upper vlm_scene_strawberry_lower vlm_scene_list vlm_0_main_hair \
    vlm_0_hair_sub_up vlm_co vlm_ca vlm_earring_list vlm_string_pattern_list vlm_thickstring_pattern \
    vlm_crossstring_pattern vlm_wstring_pattern vlm_ri vlm_hb vlm_fl vlm_ch vlm_bracelet \
    vlm_0_main_hair_longleft vlm_facelist vlm_facelist_lg; do
    [ -s "$usr/share/velmia/$name.bmp" ] || fail "share/velmia/$name.bmp is not installed"
done
built_extra=$(find "$build/parts-extra" -maxdepth 1 -name '*.bmp' 2>/dev/null | wc -l)
installed_extra=$(find "$usr/share/velmia/extra" -maxdepth 1 -name '*.bmp' 2>/dev/null | wc -l)
[ "$built_extra" -gt 0 ] || fail "the build made no extra part files"
[ "$installed_extra" -eq "$built_extra" ] || fail "$installed_extra of $built_extra extra part files installed"
for file in "$build"/run/vlm_*.bmp; do
    cmp -s "$file" "$usr/share/velmia/$(basename "$file")" || fail "share/velmia/$(basename "$file") differs from the build's"
done

desktop=$usr/share/applications/$id.desktop
[ -f "$desktop" ] || fail "no desktop entry $id.desktop"
out=$(desktop-file-validate "$desktop" 2>&1) || fail "desktop-file-validate: $out"
[ -z "$out" ] || fail "desktop-file-validate reports: $out"
grep -qx "Icon=$id" "$desktop" || fail "the desktop entry does not name the icon $id"
grep -qx "Exec=velmia" "$desktop" || fail "the desktop entry does not start velmia"

metainfo=$usr/share/metainfo/$id.metainfo.xml
[ -f "$metainfo" ] || fail "no metainfo $id.metainfo.xml"
appstreamcli validate --no-net --pedantic "$metainfo" >"$tmp/appstream.log" 2>&1 || {
    cat "$tmp/appstream.log" >&2
    fail "appstreamcli validate --no-net failed"
}
! grep -E '^[EWIP]: ' "$tmp/appstream.log" || fail "appstreamcli validate --no-net --pedantic reports the problems above"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" || fail "the metainfo does not launch $id.desktop"
grep -q "<screenshot type=\"default\">" "$metainfo" || fail "the metainfo has no screenshot"

icons=$usr/share/icons/hicolor
[ -s "$icons/scalable/apps/$id.svg" ] || fail "no scalable icon"
for size in 16 32 48 64 128 256; do
    png=$icons/${size}x${size}/apps/$id.png
    [ -s "$png" ] || fail "no ${size}x${size} icon"
    got=$(identify -format '%wx%h' "$png")
    [ "$got" = "${size}x${size}" ] || fail "the ${size}x${size} icon is $got"
    # The face, not an empty tile: many colours, opaque in the middle.
    colours=$(convert "$png" -unique-colors txt:- | tail -n +2 | wc -l)
    [ "$colours" -ge 8 ] || fail "the ${size}x${size} icon has only $colours colours"
    alpha=$(convert "$png" -gravity center -crop 50%x50%+0+0 -alpha extract -format '%[fx:minima]' info:)
    [ "$alpha" = 1 ] || fail "the ${size}x${size} icon is not opaque in the middle"
done

page=$usr/share/man/man6/velmia.6
[ -f "$page" ] || page=$page.gz
[ -f "$page" ] || fail "no manual page velmia(6)"
LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings=all -E UTF-8 -l "$page" >"$tmp/man.txt" 2>"$tmp/man.err" ||
    fail "man -l failed: $(cat "$tmp/man.err")"
[ ! -s "$tmp/man.err" ] || fail "man -l warns: $(head -5 "$tmp/man.err")"
grep -q "Character commands" "$tmp/man.txt" || fail "the manual page has no key tables"
echo "installed $(find "$tmp/root" -type f | wc -l) files, $(du -sk "$tmp/root" | cut -f1) KiB"
