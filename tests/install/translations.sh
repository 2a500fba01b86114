#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Velmia developers
# SPDX-License-Identifier: MIT
# Every catalogue is complete and current: no message untranslated or fuzzy,
# every format the same as its English one (msgfmt --check), and every text
# the sources hold today is in it (messages extracted afresh, compared with
# msgcmp), for the program's messages and for the manual pages.
#   translations.sh SOURCE_DIR APP_ID LANG... -- XGETTEXT_ARGUMENT...
set -u
src=$1
id=$2
shift 2
langs=()
while [ $# -gt 0 ] && [ "$1" != "--" ]; do
    langs+=("$1")
    shift
done
shift
fail() {
    echo "FAIL: $*" >&2
    exit 1
}
tmp=$(mktemp -d "${TMPDIR:-/tmp}/velmia-po.XXXXXX")
trap 'rm -rf "$tmp"' EXIT
export LC_ALL=C
cd "$src" || fail "no source folder $src"

# The messages as the sources hold them now, as `update-po` extracts them.
mapfile -t potfiles < <(grep -v '^#' po/POTFILES)
xgettext "$@" -o "$tmp/code.pot" "${potfiles[@]}" 2>/dev/null || fail "xgettext cannot read the sources"
xgettext --language=Desktop --from-code=UTF-8 -o "$tmp/desktop.pot" packaging/velmia.desktop.in ||
    fail "xgettext cannot read the menu entry"
xgettext --its=/usr/share/gettext/its/metainfo.its --from-code=UTF-8 -o "$tmp/metainfo.pot" \
    packaging/velmia.metainfo.xml.in || fail "xgettext cannot read the metainfo"
# The screenshots' captions appear only when a homepage is configured.
cmake -DIN=packaging/velmia.metainfo.xml.in -DOUT="$tmp/site.metainfo.xml" -DAPP_ID="$id" -DVERSION=0 \
    -DRELEASE_DATE=2026-01-01 -DHOMEPAGE=https://homepage.invalid -P packaging/Metainfo.cmake ||
    fail "the metainfo cannot be written with a homepage"
xgettext --its=/usr/share/gettext/its/metainfo.its --from-code=UTF-8 -o "$tmp/site.pot" "$tmp/site.metainfo.xml" ||
    fail "xgettext cannot read the metainfo with a homepage"
msgcat --use-first -o "$tmp/velmia.pot" "$tmp/code.pot" "$tmp/desktop.pot" "$tmp/metainfo.pot" "$tmp/site.pot" ||
    fail "msgcat"
mkdir -p "$tmp/man/po/man"
cp po/man/*.po po/man/*.pot "$tmp/man/po/man/"
po4a --no-translations --srcdir "$src" --destdir "$tmp/man" po/man/po4a.cfg >/dev/null 2>&1 ||
    fail "po4a cannot read the manual pages"

for lang in "${langs[@]}"; do
    for pair in "po/$lang.po:$tmp/velmia.pot" "po/man/$lang.po:$tmp/man/po/man/velmia-man.pot"; do
        po=${pair%%:*}
        pot=${pair#*:}
        [ -f "$po" ] || fail "$po is missing"
        stats=$(msgfmt --check --statistics -o /dev/null "$po" 2>&1) || fail "$po: $stats"
        case "$stats" in
        *untranslated* | *fuzzy*) fail "$po: $stats" ;;
        esac
        msgcmp "$po" "$pot" >"$tmp/cmp" 2>&1 || fail "$po lacks texts the sources hold: $(head -5 "$tmp/cmp")"
        echo "$po: $stats"
    done
done
