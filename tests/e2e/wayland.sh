#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Velmia developers
# SPDX-License-Identifier: MIT
# The program as a native Wayland client of a headless Weston, with no X
# server to fall back to: its surface gets the keyboard focus, it draws through
# shared memory without loading OpenGL, Weston's screenshot of it equals the
# headless rendering, and the keyboard and the pointer reach it through the
# compositor (r hides the ribbon, the wheel pans, a double-click in the
# costume browser wears a costume, Shift + right press shows the four-figure
# view, Escape ends it). Asked for Qt's own title bar, it gets one.
#   wayland.sh VELMIA VELMIA-RENDER RUN_DIR EXTRA_PARTS_DIR WESTON_MODULE
. "$(dirname "$0")/harness.sh"
. "$(dirname "$0")/harness-wayland.sh"
program=$(realpath "$1")
render=$(realpath "$2")
rundir=$3
extra=$4
module=$5
wl_require_tools "$module"
module=$(realpath "$module")
if ! ls "$rundir"/vlm_*.bmp >/dev/null 2>&1 || ! ls "$extra"/vlm_co*.bmp >/dev/null 2>&1; then
    e2e_fail "no default pictures or extra costumes"
fi
mkdir -p "$E2E_TMP/run"
cp -r "$rundir"/. "$E2E_TMP/run/"
cp "$extra"/vlm_*.bmp "$E2E_TMP/run/"
e2e_render_frames "$render" "$E2E_TMP/run"

# A 1024 x 768 output: the captioned window of a desktop, placed by Weston's
# desktop shell.
wl_start_weston 1024x768 "$module"
e2e_launch "$E2E_TMP/run" "$program"
wl_wait_window
echo "the program's surface has the keyboard focus: ${WL_W}x$WL_H at ($WL_X,$WL_Y)"
maps=/proc/$E2E_APP_PID/maps
grep -q 'libqwayland-generic\.so' "$maps" || e2e_fail "Qt's Wayland platform is not loaded"
! grep -q 'libqxcb\.so' "$maps" || e2e_fail "Qt's X11 platform is loaded"
if grep -E 'libEGL_mesa|libLLVM|_dri\.so|wayland-egl' "$maps" | awk '{ print $6 }' | sort -u | grep .; then
    e2e_fail "the window loaded OpenGL (above)"
fi
echo "no OpenGL loaded; resident $(awk '/^VmRSS:/ { print $2 }' /proc/"$E2E_APP_PID"/status) kB"
[ "${WL_W}x$WL_H" = 800x600 ] || e2e_fail "the surface is ${WL_W}x$WL_H, not the 800 x 600 picture alone"

# Screenshots show the cursor: before each, the pointer goes to the output's
# corner, which no window of this size covers.
park() {
    wl_send "move 1023 767"
    wl_sync
}
park
e2e_match_rendered_frame wl_shot "Weston's screenshot equals no rendered frame"
echo "ok: Weston shows the rendering of body frame $E2E_FRAME outside the eye patch"

differ() {
    compare -metric AE -fuzz 3% -extract "$3" "$1" "$2" null: 2>&1 | cut -d' ' -f1
}
shot() {
    park
    sleep "${2:-0.6}"
    wl_shot "$E2E_TMP/$1.png"
}

# The keyboard.
shot before
wl_key r
shot ribbon
n=$(differ "$E2E_TMP/before.png" "$E2E_TMP/ribbon.png" 200x80+370+470)
[ "$n" -ge 1500 ] || e2e_fail "r did not hide the ribbon ($n pixels changed)"
echo "ok: r hides the ribbon ($n pixels)"

# The wheel: five notches toward the user pan her 100 pixels right.
figure=200x140+300+150
wl_move 400 300
wl_wheel 5
shot panned
convert "$E2E_TMP/ribbon.png" -crop $figure +repage "$E2E_TMP/a.png"
convert "$E2E_TMP/panned.png" -crop 200x140+400+150 +repage "$E2E_TMP/b.png"
n=$(compare -metric AE -fuzz 3% "$E2E_TMP/a.png" "$E2E_TMP/b.png" null: 2>&1 | cut -d' ' -f1)
[ "$n" -lt 300 ] || e2e_fail "the wheel did not pan the figure 100 pixels ($n pixels differ)"
echo "ok: the wheel pans the figure"
wl_key BackSpace
shot centred

# Buttons and the cursor position: a double-click on the second costume in
# the browser wears it.
wl_key F2
shot browser
e2e_region_is "$E2E_TMP/browser.png" 760x300+20+250 255,255,255 || e2e_fail "the costume browser is not shown"
wl_dblclick $((20 + 255 + 120)) $((40 + 25))
shot dressed 0.8
e2e_region_is "$E2E_TMP/dressed.png" 760x300+20+250 255,255,255 && e2e_fail "the browser stayed open"
n=$(differ "$E2E_TMP/centred.png" "$E2E_TMP/dressed.png" 500x80+120+510)
[ "$n" -gt 2000 ] || e2e_fail "the picked costume is not worn ($n pixels differ)"
echo "ok: a double-click in the browser wears a costume ($n pixels)"

# A modifier held on the keyboard with a pointer button: four grey figures.
wl_hold Shift
wl_click 400 300 right
wl_letgo Shift
shot quad
s=$(convert "$E2E_TMP/quad.png" -colorspace HSL -channel G -separate +channel -format "%[fx:mean]" info:)
awk -v s="$s" 'BEGIN { exit !(s < 0.02) }' || e2e_fail "Shift + right press did not show the four-figure view ($s)"
echo "ok: Shift + right press shows the four-figure view"
[ -n "${E2E_SHOT_COPY:-}" ] && cp "$E2E_TMP"/*.png "$E2E_SHOT_COPY"/

wl_key Escape
e2e_wait_exit 5 || e2e_fail "exit status $?"
echo "ok: Escape ends the program"

# The user's own setting wins: Qt draws its title bar around the picture.
QT_WAYLAND_DISABLE_WINDOWDECORATION=0 e2e_launch "$E2E_TMP/run" "$program"
wl_wait_window
[ "$WL_W" -gt 800 ] && [ "$WL_H" -gt 600 ] || e2e_fail "asked for Qt's title bar, the surface is ${WL_W}x$WL_H"
echo "ok: with QT_WAYLAND_DISABLE_WINDOWDECORATION=0 the surface is ${WL_W}x$WL_H (Qt's title bar);" \
    "resident $(awk '/^VmRSS:/ { print $2 }' /proc/"$E2E_APP_PID"/status) kB"
wl_key Escape
e2e_wait_exit 5 || e2e_fail "exit status $?"
echo PASS
