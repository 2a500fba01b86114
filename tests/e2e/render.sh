#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Velmia developers
# SPDX-License-Identifier: MIT
# velmia-render draws what the real window shows: the default start rendered
# headless equals a screenshot of the program under Xvfb, pixel for pixel,
# outside the eye patch (where the blink and the first peek move). The lower
# half breathes, so the screenshot must equal the rendering of one of the
# three body frames.
#   render.sh VELMIA-RENDER VELMIA RUN_DIR
. "$(dirname "$0")/harness.sh"
render=$(realpath "$1")
program=$(realpath "$2")
rundir=$3
for t in Xvfb xdotool import convert compare xwininfo; do
    command -v "$t" >/dev/null 2>&1 || e2e_fail "$t is not installed (scripts/install-deps installs it)"
done
ls "$rundir"/vlm_*.bmp >/dev/null 2>&1 || e2e_fail "no default pictures in $rundir"

mkdir -p "$E2E_TMP/run"
cp "$rundir"/vlm_*.bmp "$E2E_TMP/run/"
e2e_render_frames "$render" "$E2E_TMP/run"

e2e_start_x 800x600
e2e_launch "$E2E_TMP/run" "$program"
e2e_wait_window

e2e_match_rendered_frame e2e_shot "the screenshot equals no rendered frame"
echo "the window equals the rendering of body frame $E2E_FRAME outside the eye patch"
e2e_focus
e2e_key Escape
e2e_wait_exit || e2e_fail "exit status $?"
echo PASS
