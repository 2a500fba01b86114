#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Velmia developers
# SPDX-License-Identifier: MIT
# The views and the pointer on the real window: Page Up magnifies and Home
# returns, F2 shows the costumes as thumbnails and a double-click wears one,
# the wheel pans the portrait, Shift + right press shows the four-figure view.
#   pointer.sh VELMIA RUN_DIR EXTRA_PARTS_DIR
. "$(dirname "$0")/harness.sh"
program=$(realpath "$1")
rundir=$2
extra=$3
e2e_require_tools compare
if ! ls "$rundir"/vlm_*.bmp >/dev/null 2>&1 || ! ls "$extra"/vlm_co*.bmp >/dev/null 2>&1; then
    echo "FAIL: no default pictures or extra costumes" >&2
    exit 1
fi

e2e_start_x 800x600
mkdir -p "$E2E_TMP/run"
cp -r "$rundir"/. "$E2E_TMP/run/"
cp "$extra"/vlm_*.bmp "$E2E_TMP/run/"
e2e_launch "$E2E_TMP/run" "$program"
e2e_wait_window
sleep 1.5
e2e_focus

# Pixels that differ between two shots inside one region.
differ() {
    compare -metric AE -fuzz 3% -extract "$3" "$1" "$2" null: 2>&1 | cut -d' ' -f1
}
# Mean colour saturation of a shot (0 for a grey picture).
saturation() {
    convert "$1" -colorspace HSL -channel G -separate +channel -format "%[fx:mean]" info:
}
# The neck and shoulders: the figure, whatever the scene behind her.
figure=200x140+300+150

shot() {
    sleep "${2:-0.5}"
    e2e_shot "$E2E_TMP/$1.png"
}

shot portrait
e2e_key Prior
shot zoom
[ "$(differ "$E2E_TMP/portrait.png" "$E2E_TMP/zoom.png" $figure)" -gt 5000 ] || e2e_fail "Page Up did not magnify"
e2e_key Home
shot back
n=$(differ "$E2E_TMP/portrait.png" "$E2E_TMP/back.png" $figure)
[ "$n" -lt 300 ] || e2e_fail "Home did not return to the portrait ($n pixels differ)"

# Five wheel notches toward the user pan her 100 pixels right.
e2e_move 400 300
e2e_wheel down 5
shot panned
convert "$E2E_TMP/back.png" -crop $figure +repage "$E2E_TMP/a.png"
convert "$E2E_TMP/panned.png" -crop 200x140+400+150 +repage "$E2E_TMP/b.png"
n=$(compare -metric AE -fuzz 3% "$E2E_TMP/a.png" "$E2E_TMP/b.png" null: 2>&1 | cut -d' ' -f1)
[ "$n" -lt 300 ] || e2e_fail "the wheel did not pan the figure 100 pixels ($n pixels differ)"
e2e_key BackSpace
shot centred

# The browser: the wardrobe's costumes in rows of three on a white screen
# (eight costumes fill three rows, down to row 210).
e2e_key F2
shot browser
e2e_region_is "$E2E_TMP/browser.png" 760x300+20+250 255,255,255 || e2e_fail "the costume browser is not shown"
[ "$(e2e_pixel "$E2E_TMP/browser.png" 400 70)" != "255,255,255" ] || e2e_fail "no second costume thumbnail"
e2e_dblclick $((20 + 255 + 120)) $((40 + 25))
shot dressed 0.8
e2e_region_is "$E2E_TMP/dressed.png" 760x300+20+250 255,255,255 && e2e_fail "the browser stayed open"
n=$(differ "$E2E_TMP/centred.png" "$E2E_TMP/dressed.png" 500x80+120+510)
[ "$n" -gt 2000 ] || e2e_fail "the picked costume is not worn ($n pixels differ)"

# Shift + right press: four small grey figures.
xdotool keydown shift
e2e_click 400 300 3
xdotool keyup shift
shot quad
s=$(saturation "$E2E_TMP/quad.png")
awk -v s="$s" 'BEGIN { exit !(s < 0.02) }' || e2e_fail "Shift + right press did not show the four-figure view ($s)"
[ -n "${E2E_SHOT_COPY:-}" ] && cp "$E2E_TMP"/*.png "$E2E_SHOT_COPY"/

e2e_key Escape
e2e_wait_exit 5 || e2e_fail "exit status $?"
echo PASS
