#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Velmia developers
# SPDX-License-Identifier: MIT
# The real program under Xvfb: it starts in a copy of the run folder, shows
# its 800 x 600 window with a picture, and ends normally on Escape. Started
# in an empty folder, it reports the failed start-up in a message box and
# ends with a non-zero status once the box is dismissed.
#   smoke.sh VELMIA RUN_DIR nowm|wm [blank]
#     wm: with openbox on a 1024x768 screen (captioned window); nowm: 800x600
#     screen without a window manager (borderless); blank: the stand-in form
. "$(dirname "$0")/harness.sh"
program=$(realpath "$1")
rundir=$2
mode=${3:-nowm}
blank=${4:-}
e2e_require_tools
if [ -z "$blank" ] && ! ls "$rundir"/vlm_*.bmp >/dev/null 2>&1; then
    echo "FAIL: no default pictures in $rundir" >&2
    exit 1
fi

if [ "$mode" = wm ]; then
    e2e_start_x 1024x768 wm
else
    e2e_start_x 800x600
fi
mkdir -p "$E2E_TMP/run"
[ -d "$rundir" ] && cp -r "$rundir"/. "$E2E_TMP/run/"
e2e_launch "$E2E_TMP/run" "$program"
e2e_wait_window
if [ -z "$blank" ]; then e2e_wait_ready; else e2e_wait_painted; fi
shot="$E2E_TMP/shot.png"
colourful() {
    local colours
    colours=$(convert "$shot" -unique-colors txt:- | tail -n +2 | wc -l)
    echo "the window shows $colours colours" >&2
    [ "$colours" -ge 16 ]
}
if [ -z "$blank" ]; then
    e2e_expect shot "the window shows fewer than 16 colours" colourful
else
    e2e_expect shot "the blank form is not white" e2e_region_is "$shot" 800x600+0+0 255,255,255
fi
[ -n "${E2E_SHOT_COPY:-}" ] && cp "$shot" "$E2E_SHOT_COPY"
grep -h 'first frame' "$E2E_TMP/program.err" || true
e2e_focus
e2e_key Escape
e2e_wait_exit || e2e_fail "exit status $?"

if [ -z "$blank" ]; then
    mkdir -p "$E2E_TMP/empty"
    e2e_launch "$E2E_TMP/empty" "$program"
    # The error box appears; Return dismisses it.
    E2E_WIN=""
    e2e_wait_dialog
    e2e_answer_dialog Return "Return did not dismiss the error message" e2e_exited
    status=0
    e2e_wait_exit || status=$?
    [ "$status" -ne 0 ] || e2e_fail "a failed start-up ended with status 0"
    grep -q . "$E2E_TMP/program.err" || e2e_fail "nothing on standard error for the failed start-up"
fi
echo PASS
