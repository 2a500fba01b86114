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
e2e_wait_ready
e2e_focus

# The neck and shoulders: the figure, whatever the scene behind her.
figure=200x140+300+150
t=$E2E_TMP

e2e_shot "$t/portrait.png"
e2e_key Prior
e2e_expect zoom "Page Up did not magnify" e2e_differ_at_least "$t/portrait.png" "$t/zoom.png" $figure 5000
e2e_key Home
e2e_expect back "Home did not return to the portrait" e2e_differ_below "$t/portrait.png" "$t/back.png" $figure 300

# Five wheel notches toward the user pan her 100 pixels right.
panned_right() {
    convert "$t/back.png" -crop $figure +repage "$t/a.png"
    convert "$t/panned.png" -crop 200x140+400+150 +repage "$t/b.png"
    e2e_differ_below "$t/a.png" "$t/b.png" 200x140+0+0 300
}
e2e_move 400 300
e2e_wheel down 5
e2e_expect panned "the wheel did not pan the figure 100 pixels" panned_right
e2e_key BackSpace
e2e_expect centred "BackSpace did not bring her back" e2e_differ_below "$t/back.png" "$t/centred.png" $figure 300

# The browser: the wardrobe's costumes in rows of three on a white screen
# (eight costumes fill three rows, down to row 210).
browser_shown() {
    e2e_region_is "$t/browser.png" 760x300+20+250 255,255,255 &&
        [ "$(e2e_pixel "$t/browser.png" 400 70)" != "255,255,255" ]
}
e2e_key F2
e2e_expect browser "the costume browser with a second thumbnail is not shown" browser_shown
# The picked costume is worn and the browser closed.
dressed() {
    ! e2e_region_is "$t/dressed.png" 760x300+20+250 255,255,255 &&
        e2e_differ_at_least "$t/centred.png" "$t/dressed.png" 500x80+120+510 2000
}
e2e_dblclick $((20 + 255 + 120)) $((40 + 25))
e2e_expect dressed "the picked costume is not worn" dressed

# Shift + right press: four small grey figures.
grey() {
    awk -v s="$(e2e_saturation "$t/quad.png")" 'BEGIN { exit !(s < 0.02) }'
}
xdotool keydown shift
e2e_click 400 300 3
xdotool keyup shift
e2e_expect quad "Shift + right press did not show the four-figure view" grey
[ -n "${E2E_SHOT_COPY:-}" ] && cp "$E2E_TMP"/*.png "$E2E_SHOT_COPY"/

e2e_key Escape
e2e_wait_exit || e2e_fail "exit status $?"
echo PASS
