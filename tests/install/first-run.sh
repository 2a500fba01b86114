#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Velmia developers
# SPDX-License-Identifier: MIT
# The installed program as a new user starts it from the desktop menu: in an
# empty folder, with a fresh HOME and XDG_DATA_HOME. Its window opens on the
# default pictures, which it has copied into the user's part folder; a second
# start reuses that folder as the user left it, and a part file the user added
# there shows in the F2 browser. Started in a folder with its own pictures,
# it leaves the part folder alone. Its window carries the class the menu
# entry names and an icon: the installed one from the icon theme, at every
# size installed, else the program's own; Qt's -display and -style options
# are Qt's.
#   first-run.sh BUILD_DIR
. "$(dirname "$0")/../e2e/harness.sh"
build=$(realpath "$1")
for tool in Xvfb xdotool import convert xwininfo xprop; do
    command -v "$tool" >/dev/null 2>&1 || e2e_fail "$tool is not installed (scripts/install-deps installs it)"
done

DESTDIR="$E2E_TMP/root" cmake --install "$build" --prefix /usr >"$E2E_TMP/install.log" 2>&1 ||
    e2e_fail "cmake --install failed: $(tail -3 "$E2E_TMP/install.log")"
velmia=$E2E_TMP/root/usr/games/velmia
installed=$E2E_TMP/root/usr/share/velmia

export HOME=$E2E_TMP/home
export XDG_DATA_HOME=$E2E_TMP/data
mkdir -p "$HOME" "$E2E_TMP/empty"
parts=$XDG_DATA_HOME/velmia
e2e_start_x 800x600

desktop=$(find "$E2E_TMP/root/usr/share/applications" -name '*.desktop' | head -1)
[ -n "$desktop" ] || e2e_fail "no desktop entry installed"
wm_class=$(sed -n 's/^StartupWMClass=//p' "$desktop")
[ -n "$wm_class" ] || e2e_fail "the desktop entry names no StartupWMClass"

# window_icon SIZE: the first pixel (ARGB, hex) of the window's SIZExSIZE
# icon in _NET_WM_ICON, "none" when it has no icon of that size (the whole
# property: xprop reads only its first 250000 bytes unless told more).
window_icon() {
    xprop -len 4000000 -id "$E2E_WIN" -notype -f _NET_WM_ICON 32c '=$0+\n' _NET_WM_ICON 2>/dev/null | tr -d ' ' |
        sed -n 's/^_NET_WM_ICON=//p' | tr ',' '\n' |
        awk -v size="$1" '{ v[n++] = $1 } END {
            for (p = 0; p + 1 < n; p += 2 + v[p] * v[p + 1])
                if (v[p] == size && v[p + 1] == size) { printf "%x\n", v[p + 2]; exit }
            print "none" }'
}
# window_identity: the window's class is the desktop entry's StartupWMClass.
window_identity() {
    xprop -id "$E2E_WIN" WM_CLASS >"$E2E_TMP/xprop.txt" 2>&1 || e2e_fail "xprop failed"
    grep -qx "WM_CLASS(STRING) = \"$wm_class\", \"$wm_class\"" "$E2E_TMP/xprop.txt" ||
        e2e_fail "the window's class is $(cat "$E2E_TMP/xprop.txt"), the desktop entry's $wm_class"
}
# The installed 48 x 48 icon is made one flat colour, to tell it from the program's own.
icon48=$(find "$E2E_TMP/root/usr/share/icons/hicolor/48x48/apps" -name '*.png' | head -1)
[ -n "$icon48" ] || e2e_fail "no 48x48 icon installed"
convert -size 48x48 'xc:rgb(32,64,128)' "PNG32:$icon48"
marker=ff204080

colours() {
    convert "$1" -unique-colors txt:- | tail -n +2 | wc -l
}
quit() {
    e2e_focus
    e2e_key Escape
    e2e_wait_exit 5 || e2e_fail "exit status $?"
}

# 1. First start: the part folder is made and filled, the portrait shows.
[ ! -e "$parts" ] || e2e_fail "the part folder exists before the first start"
# The icon theme's (hicolor's index.theme from the system, the icon installed).
XDG_DATA_DIRS=$E2E_TMP/root/usr/share:/usr/share e2e_launch "$E2E_TMP/empty" "$velmia"
e2e_wait_window
window_identity
[ "$(window_icon 48)" = "$marker" ] || e2e_fail "the window's 48x48 icon is not the installed one: $(window_icon 48)"
for size in 16 32 64 128 256; do
    [ "$(window_icon $size)" != none ] || e2e_fail "the window offers no ${size}x${size} icon"
done
sleep 1.5
e2e_shot "$E2E_TMP/first.png"
[ "$(colours "$E2E_TMP/first.png")" -ge 16 ] || e2e_fail "the first start shows no portrait"
for file in "$installed"/*.bmp "$installed"/extra/*.bmp; do
    cmp -s "$file" "$parts/$(basename "$file")" || e2e_fail "$(basename "$file") was not copied into $parts"
done
[ -z "$(ls -A "$E2E_TMP/empty")" ] || e2e_fail "the program wrote into the folder it was started in"
quit

# 2. The user's own changes: a costume of one flat green, and the ribbon file
# replaced. A second start runs in the same folder and overwrites nothing.
convert -size 530x300 'xc:rgb(0,200,0)' -type TrueColor "BMP3:$parts/vlm_co_green.bmp"
cp "$parts/vlm_ri2.bmp" "$parts/vlm_ri.bmp" 2>/dev/null || cp "$parts/vlm_hb.bmp" "$parts/vlm_ri.bmp"
ribbon=$(md5sum <"$parts/vlm_ri.bmp")
e2e_launch "$E2E_TMP/empty" "$velmia"
e2e_wait_window
sleep 1.5
[ "$(md5sum <"$parts/vlm_ri.bmp")" = "$ribbon" ] || e2e_fail "the second start overwrote the user's vlm_ri.bmp"
e2e_focus
e2e_key F2
sleep 1
e2e_shot "$E2E_TMP/browser.png"
green=$(convert "$E2E_TMP/browser.png" -fill black +opaque 'rgb(0,200,0)' -fill white -opaque 'rgb(0,200,0)' \
    -format '%[fx:int(mean*w*h+0.5)]' info:)
[ "$green" -ge 1000 ] || e2e_fail "the added costume does not show in the F2 browser ($green green pixels)"
e2e_key Escape
sleep 0.3
quit

# 3. Started in a folder with its own pictures, it runs there: a new user's
# part folder is not even made.
mkdir -p "$E2E_TMP/own"
cp "$installed"/*.bmp "$E2E_TMP/own/"
export XDG_DATA_HOME=$E2E_TMP/data-unused
# No icon theme has its icon (no data folders at all): the program's own shows.
# The display is named by Qt's -display alone.
mkdir -p "$E2E_TMP/no-data"
display=$DISPLAY
XDG_DATA_DIRS=$E2E_TMP/no-data DISPLAY= e2e_launch "$E2E_TMP/own" "$velmia" -display "$display" -style Fusion
e2e_wait_window
window_identity
icon=$(window_icon 48)
[ "$icon" != none ] || e2e_fail "without an icon theme the window has no 48x48 icon"
[ "$icon" != "$marker" ] || e2e_fail "without an icon theme the window shows the theme's icon"
sleep 1
[ ! -e "$XDG_DATA_HOME" ] || e2e_fail "a folder with its own pictures still made the part folder"
quit
echo "first run: ok"
