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
e2e_wait_first_tick
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

parked_shot() {
    park
    wl_shot "$1"
}
E2E_SHOOT=parked_shot
t=$E2E_TMP

# The keyboard.
parked_shot "$t/before.png"
wl_key r
e2e_expect ribbon "r did not hide the ribbon" e2e_differ_at_least "$t/before.png" "$t/ribbon.png" 200x80+370+470 1500
echo "ok: r hides the ribbon"

# The wheel: five notches toward the user pan her 100 pixels right.
figure=200x140+300+150
panned_right() {
    convert "$t/ribbon.png" -crop $figure +repage "$t/a.png"
    convert "$t/panned.png" -crop 200x140+400+150 +repage "$t/b.png"
    e2e_differ_below "$t/a.png" "$t/b.png" 200x140+0+0 300
}
wl_move 400 300
wl_wheel 5
e2e_expect panned "the wheel did not pan the figure 100 pixels" panned_right
echo "ok: the wheel pans the figure"
wl_key BackSpace
e2e_expect centred "BackSpace did not bring her back" e2e_differ_below "$t/ribbon.png" "$t/centred.png" $figure 300

# Buttons and the cursor position: a double-click on the second costume in
# the browser wears it.
wl_key F2
e2e_expect browser "the costume browser is not shown" e2e_region_is "$t/browser.png" 760x300+20+250 255,255,255
dressed() {
    ! e2e_region_is "$t/dressed.png" 760x300+20+250 255,255,255 &&
        e2e_differ_at_least "$t/centred.png" "$t/dressed.png" 500x80+120+510 2000
}
wl_dblclick $((20 + 255 + 120)) $((40 + 25))
e2e_expect dressed "the picked costume is not worn" dressed
echo "ok: a double-click in the browser wears a costume"

# A modifier held on the keyboard with a pointer button: four grey figures.
grey() {
    awk -v s="$(e2e_saturation "$t/quad.png")" 'BEGIN { exit !(s < 0.02) }'
}
wl_hold Shift
wl_click 400 300 right
wl_letgo Shift
e2e_expect quad "Shift + right press did not show the four-figure view" grey
echo "ok: Shift + right press shows the four-figure view"
[ -n "${E2E_SHOT_COPY:-}" ] && cp "$E2E_TMP"/*.png "$E2E_SHOT_COPY"/

wl_key Escape
e2e_wait_exit || e2e_fail "exit status $?"
echo "ok: Escape ends the program"

# The user's own setting wins: Qt draws its title bar around the picture.
QT_WAYLAND_DISABLE_WINDOWDECORATION=0 e2e_launch "$E2E_TMP/run" "$program"
wl_wait_window
e2e_wait_first_tick
[ "$WL_W" -gt 800 ] && [ "$WL_H" -gt 600 ] || e2e_fail "asked for Qt's title bar, the surface is ${WL_W}x$WL_H"
echo "ok: with QT_WAYLAND_DISABLE_WINDOWDECORATION=0 the surface is ${WL_W}x$WL_H (Qt's title bar);" \
    "resident $(awk '/^VmRSS:/ { print $2 }' /proc/"$E2E_APP_PID"/status) kB"
wl_key Escape
e2e_wait_exit || e2e_fail "exit status $?"
echo PASS
