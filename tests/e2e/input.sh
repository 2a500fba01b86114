#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Velmia developers
# SPDX-License-Identifier: MIT
# Keys, clicks, double-clicks and wheel notches sent by xdotool to the probe
# program on a real X server reach its form as the program expects, with
# true client positions, in both window styles:
#   input.sh PROBE nowm   800x600 screen, no window manager: borderless
#   input.sh PROBE wm     1024x768 screen with openbox: captioned
. "$(dirname "$0")/harness.sh"
probe=$(realpath "$1")
mode=${2:-nowm}
e2e_require_tools

if [ "$mode" = wm ]; then
    e2e_start_x 1024x768 wm
    expect_ready="ready 112 74 25"
else
    e2e_start_x 800x600
    expect_ready="ready 0 0 0"
fi
mkdir -p "$E2E_TMP/run"
e2e_launch "$E2E_TMP/run" "$probe"
e2e_wait_line '^ready'
grep -qx "$expect_ready" "$E2E_OUT" || e2e_fail "placement: expected '$expect_ready'"
e2e_wait_window
e2e_wait_painted
e2e_focus

# Special keys, then modifier-only presses (nothing), Ctrl+a, shifted characters.
e2e_key F1 F2 F3 F4 F5 F6 F7 Left Up Right Down Prior Next Home Insert BackSpace Return
e2e_key shift ctrl
e2e_key ctrl+a
e2e_type '~_()"'"'"'a'
e2e_wait_line '^keypress 97$'
expected_keys="keydown 112 shift=0 ctrl=0
keydown 113 shift=0 ctrl=0
keydown 114 shift=0 ctrl=0
keydown 115 shift=0 ctrl=0
keydown 116 shift=0 ctrl=0
keydown 117 shift=0 ctrl=0
keydown 118 shift=0 ctrl=0
keydown 37 shift=0 ctrl=0
keydown 38 shift=0 ctrl=0
keydown 39 shift=0 ctrl=0
keydown 40 shift=0 ctrl=0
keydown 33 shift=0 ctrl=0
keydown 34 shift=0 ctrl=0
keydown 36 shift=0 ctrl=0
keydown 45 shift=0 ctrl=0
keydown 8 shift=0 ctrl=0
keypress 8
keydown 13 shift=0 ctrl=0
keypress 13
keydown 65 shift=0 ctrl=1
keypress 1
keydown 192 shift=1 ctrl=0
keypress 126
keydown 189 shift=1 ctrl=0
keypress 95
keydown 57 shift=1 ctrl=0
keypress 40
keydown 48 shift=1 ctrl=0
keypress 41
keydown 222 shift=1 ctrl=0
keypress 34
keydown 222 shift=0 ctrl=0
keypress 39
keydown 65 shift=0 ctrl=0
keypress 97"
got=$(grep -E '^key' "$E2E_OUT")
[ "$got" = "$expected_keys" ] || e2e_fail "keys differ:
$(diff <(echo "$expected_keys") <(echo "$got"))"

# Pause lowers the priority and raises it again.
e2e_key Pause
e2e_wait_line '^priority idle ok$'
# The nice value is field 19 of /proc/PID/stat (the main thread's).
nice=$(sed 's/.*) //' "/proc/$E2E_APP_PID/stat" | awk '{ print $17 }')
[ "$nice" = 19 ] || e2e_fail "Pause did not lower the priority (nice $nice)"
e2e_key Pause
e2e_wait_line '^priority normal'

# Mouse: click, double-click, right and middle presses, wheel notches.
: >"$E2E_OUT.mark"
start=$(wc -l <"$E2E_OUT")
e2e_click 100 120
sleep 0.6 # longer than a double-click interval
e2e_dblclick 600 450
sleep 0.6
e2e_click 700 50 3
e2e_click 20 580 2
e2e_wheel up 2
e2e_wheel down 1
e2e_wait_line '^wheel down$'
expected_mouse="mousedown L 100 120
click 100 120
mousedown L 600 450
click 600 450
dblclick 600 450
mousedown L 600 450 double
mousedown R 700 50
mousedown M 20 580
wheel up
wheel up
wheel down"
got=$(tail -n +$((start + 1)) "$E2E_OUT" | grep -vE '^priority')
[ "$got" = "$expected_mouse" ] || e2e_fail "mouse differs:
$(diff <(echo "$expected_mouse") <(echo "$got"))"

# The screen shows the picture, with the double-click's square where the
# pointer was.
shot="$E2E_TMP/shot.png"
quadrants() {
    e2e_region_is "$shot" 390x290+5+5 255,0,0 && e2e_region_is "$shot" 390x290+405+5 0,255,0 &&
        e2e_region_is "$shot" 390x290+5+305 0,0,255 && e2e_region_is "$shot" 10x10+595+445 0,0,0 &&
        e2e_region_is "$shot" 100x100+650+480 255,255,255
}
e2e_expect shot "the window does not show red, green, blue and white quadrants with a black square at (600,450)" \
    quadrants
[ -n "${E2E_SHOT_COPY:-}" ] && cp "$shot" "$E2E_SHOT_COPY"

# A save dialog: initial name, default extension, no question on overwrite.
for round in 1 2; do
    start=$(wc -l <"$E2E_OUT")
    e2e_focus
    e2e_type s
    e2e_wait_dialog
    answered() { tail -n +$((start + 1)) "$E2E_OUT" | grep -qE '^(saved|cancelled)'; }
    e2e_answer_dialog Return "the save dialog gave no answer" answered
    line=$(tail -n +$((start + 1)) "$E2E_OUT" | grep -E '^(saved|cancelled)')
    [ "$line" = "saved $E2E_TMP/run/vlm_scenelist.bmp" ] || e2e_fail "save dialog round $round gave '$line'"
    touch "$E2E_TMP/run/vlm_scenelist.bmp"
done

# Escape closes the window; the program ends normally.
e2e_focus
e2e_key Escape
e2e_wait_line '^closed$'
e2e_wait_exit || e2e_fail "exit status $?"
echo "PASS ($mode)"
