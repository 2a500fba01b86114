#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Velmia developers
# SPDX-License-Identifier: MIT
# Installs the build into a temporary DESTDIR (prefix /usr, as the Debian
# package does) and checks what lands there: the program and the part
# authors' tools in games/, sharing one library of the pictures compiled into
# them, each answering --version and with its manual page (compressed,
# rendered without a warning, naming the real folder of the pictures); the
# default pictures and the extra parts, each once; the menu entry and the
# metainfo (validated, with no web address unless one is configured, and valid
# with one too); the icon at every size; the copyright; the Japanese
# catalogue, menu entry, metainfo and manual pages.
# A second install under another prefix writes that prefix into the pages.
#   install-tree.sh BUILD_DIR APP_ID SOURCE_DIR
set -euo pipefail
build=$1
id=$2
source=$3
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
homepage=$(sed -n 's/^VELMIA_HOMEPAGE:STRING=//p' "$build/CMakeCache.txt")
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

for program in games/velmia games/velmia-partcheck games/velmia-render; do
    [ -x "$usr/$program" ] || fail "$program is not installed"
    name=$(basename "$program")
    out=$("$usr/$program" --version) || fail "$program --version exits with $?"
    [ "$out" = "$name $version" ] || fail "$program --version prints '$out'"
done
[ ! -e "$usr/bin" ] || fail "programs are installed in bin/ too: $(ls "$usr/bin")"
# The pictures compiled into the programs are one private library of about
# 4 MB, which the three programs share instead of carrying a copy each.
libs=$(find "$usr/lib" -name 'libvelmia_resources.so*')
[ "$(echo "$libs" | grep -c /velmia/)" = 1 ] || fail "the pictures' library is not installed once in lib/*/velmia: $libs"
# A copy would make a program's read-only data as large as the library; a
# sanitized build's own read-only data is larger than a release build's, but
# far below that.
pictures=$(stat -L -c %s "$libs")
for program in velmia velmia-partcheck velmia-render; do
    rodata=$(size -A "$usr/games/$program" | awk '$1 == ".rodata" { print $2 }')
    [ "$rodata" -lt $((pictures / 2)) ] ||
        fail "$program carries its own copy of the pictures (.rodata $rodata bytes, the library $pictures)"
done

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
# Each picture of the run folder once: an extra part in extra/, any other in share/velmia.
for file in "$build"/run/vlm_*.bmp; do
    name=$(basename "$file")
    if [ -e "$build/parts-extra/$name" ]; then
        [ ! -e "$usr/share/velmia/$name" ] || fail "the extra part $name is installed twice"
        name=extra/$name
    fi
    cmp -s "$file" "$usr/share/velmia/$name" || fail "share/velmia/$name differs from the build's"
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
grep -qF "<project_license>MIT AND CC-BY-4.0</project_license>" "$metainfo" || fail "the metainfo does not give the licences of the code and the artwork"
if [ -z "$homepage" ]; then
    ! grep -E -n "<url|<screenshot|https?:" "$metainfo" || fail "the metainfo names a web address though no homepage is configured"
else
    grep -qF "<url type=\"homepage\">$homepage</url>" "$metainfo" || fail "the metainfo does not name the homepage $homepage"
fi
# With a homepage (-DVELMIA_HOMEPAGE=...), the same template gives its address
# and the screenshots below it, and still validates.
cmake -DIN="$source/packaging/velmia.metainfo.xml.in" -DOUT="$tmp/untranslated/site.metainfo.xml" -DAPP_ID="$id" \
    -DVERSION="$version" -DRELEASE_DATE=2026-12-08 -DHOMEPAGE=https://velmia.example.net/ \
    -P "$source/packaging/Metainfo.cmake" || fail "the metainfo could not be written with a homepage"
msgfmt --xml --template="$tmp/untranslated/site.metainfo.xml" -d "$source/po" -o "$tmp/site.metainfo.xml" ||
    fail "msgfmt cannot translate the metainfo with a homepage"
grep -qF '<caption xml:lang="ja">' "$tmp/site.metainfo.xml" || fail "the screenshots' captions are not translated"
appstreamcli validate --no-net --pedantic "$tmp/site.metainfo.xml" >"$tmp/appstream.log" 2>&1 || {
    cat "$tmp/appstream.log" >&2
    fail "appstreamcli validate --no-net fails on the metainfo with a homepage"
}
! grep -E '^[EWIP]: ' "$tmp/appstream.log" || fail "appstreamcli reports the problems above with a homepage"
grep -qF '<url type="homepage">https://velmia.example.net</url>' "$tmp/site.metainfo.xml" ||
    fail "the metainfo with a homepage does not name it"
grep -qF '<image>https://velmia.example.net/raw/main/docs/screenshots/portrait.png</image>' "$tmp/site.metainfo.xml" ||
    fail "the metainfo with a homepage has no screenshot below it"

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

# The manual pages: one for each installed program, compressed, rendered
# without a warning, naming where the pictures really are and the other tools.
man_page() { # man_page ROOT PAGE: the page rendered as text
    LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings=all -E UTF-8 -l "$1/$2" 2>"$tmp/man.err" ||
        fail "man -l $2 failed: $(cat "$tmp/man.err")"
    [ ! -s "$tmp/man.err" ] || fail "man -l $2 warns: $(head -5 "$tmp/man.err")"
}
for page in man6/velmia.6 man6/velmia-partcheck.6 man6/velmia-render.6; do
    [ -f "$usr/share/man/$page.gz" ] || fail "no manual page share/man/$page.gz"
    man_page "$usr/share/man" "$page.gz" >"$tmp/man.txt"
    [ "$(LC_ALL=C.UTF-8 wc -L <"$tmp/man.txt")" -le 80 ] || fail "$page has lines wider than 80 columns"
    grep -q "^FILES" "$tmp/man.txt" || fail "$page has no FILES section"
    grep -q "/usr/share/velmia/" "$tmp/man.txt" || fail "$page does not name /usr/share/velmia"
    ! grep -q "@[A-Z_]*@" "$tmp/man.txt" || fail "$page has a placeholder left"
    for other in velmia\(6\) velmia-partcheck\(6\) velmia-render\(6\); do
        [ "$(basename "$page" | sed 's/\.\([0-9]\)$/(\1)/')" = "$other" ] && continue
        grep -qF "$other" "$tmp/man.txt" || fail "$page does not refer to $other"
    done
done
man_page "$usr/share/man" man6/velmia.6.gz >"$tmp/man.txt"
grep -q "Character commands" "$tmp/man.txt" || fail "the manual page has no key tables"

# Japanese: the catalogue the installed programs read, the menu entry, the
# metainfo and the manual pages (no warning, and no line wider than 80
# columns, a Japanese character taking two).
[ -s "$usr/share/locale/ja/LC_MESSAGES/velmia.mo" ] || fail "no share/locale/ja/LC_MESSAGES/velmia.mo"
for program in velmia velmia-partcheck velmia-render; do
    LC_ALL=C.UTF-8 LANGUAGE=ja "$usr/games/$program" --help >"$tmp/help.txt" 2>"$tmp/help.err" ||
        fail "the installed $program --help in Japanese exits with $?"
    [ ! -s "$tmp/help.err" ] || fail "the installed $program --help writes on standard error: $(head -3 "$tmp/help.err")"
    out=$(sed -n 1p "$tmp/help.txt")
    [ "${out#使い方: $program }" != "$out" ] || fail "the installed $program --help in Japanese begins '$out'"
done
for key in 'Name[ja]=Velmia' 'GenericName[ja]=着せ替えポートレート' 'Comment[ja]=' 'Keywords[ja]=着せ替え;'; do
    grep -qF "$key" "$desktop" || fail "the desktop entry has no $key"
done
grep -qF '<summary xml:lang="ja">生きている着せ替えポートレート</summary>' "$metainfo" ||
    fail "the metainfo has no Japanese summary"
for page in velmia.6 velmia-partcheck.6 velmia-render.6; do
    [ -f "$usr/share/man/ja/man6/$page.gz" ] || fail "no Japanese manual page share/man/ja/man6/$page.gz"
    man_page "$usr/share/man/ja" "man6/$page.gz" >"$tmp/man.txt"
    [ "$(LC_ALL=C.UTF-8 wc -L <"$tmp/man.txt")" -le 80 ] || fail "the Japanese $page has lines wider than 80 columns"
    grep -q "^ファイル" "$tmp/man.txt" || fail "the Japanese $page has no FILES section"
    grep -q "/usr/share/velmia/" "$tmp/man.txt" || fail "the Japanese $page does not name /usr/share/velmia"
    ! grep -q "@[A-Z_]*@" "$tmp/man.txt" || fail "the Japanese $page has a placeholder left"
    if [ "$page" = velmia.6 ]; then
        grep -q "文字キーのコマンド" "$tmp/man.txt" || fail "the Japanese manual page has no Japanese key tables"
    fi
done

[ "$(head -1 "$usr/share/doc/velmia/copyright" 2>/dev/null)" = \
    "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/" ] ||
    fail "no machine-readable share/doc/velmia/copyright"

DESTDIR="$tmp/opt" cmake --install "$build" --prefix /opt/velmia >"$tmp/install.log" || fail "cmake --install --prefix /opt/velmia failed"
for page in man6/velmia.6 man6/velmia-partcheck.6 man6/velmia-render.6; do
    man_page "$tmp/opt/opt/velmia/share/man" "$page.gz" >"$tmp/man.txt"
    grep -q "/opt/velmia/share/velmia/" "$tmp/man.txt" ||
        fail "$page installed under /opt/velmia does not name /opt/velmia/share/velmia"
done
echo "installed $(find "$tmp/root" -type f | wc -l) files, $(du -sk "$tmp/root" | cut -f1) KiB"
