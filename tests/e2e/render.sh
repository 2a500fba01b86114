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
for f in 0 1 2; do
    (cd "$E2E_TMP/run" && "$render" --frame $f -o "$E2E_TMP/frame$f.png") >/dev/null ||
        e2e_fail "velmia-render --frame $f failed"
done

e2e_start_x 800x600
e2e_launch "$E2E_TMP/run" "$program"
e2e_wait_window

# The eye patch at rest: 243 x 123 at (238,0).
hide_eyes() { convert "$1" -fill black -draw "rectangle 238,0 480,122" -depth 8 "PNG24:$2"; }
for f in 0 1 2; do
    hide_eyes "$E2E_TMP/frame$f.png" "$E2E_TMP/frame$f-masked.png"
done
# A busy machine may show the window before its first paint: a few tries.
best=""
for try in 1 2 3 4 5; do
    sleep 1
    e2e_shot "$E2E_TMP/window.png"
    hide_eyes "$E2E_TMP/window.png" "$E2E_TMP/window-masked.png"
    for f in 0 1 2; do
        n=$(compare -metric AE "$E2E_TMP/frame$f-masked.png" "$E2E_TMP/window-masked.png" null: 2>&1)
        echo "screenshot $try, body frame $f: $n pixels differ"
        [ "$n" = 0 ] && best=$f
    done
    [ -n "$best" ] && break
done
# The frames differ from one another, or this comparison could not tell them apart.
[ "$(compare -metric AE "$E2E_TMP/frame0.png" "$E2E_TMP/frame2.png" null: 2>&1)" != 0 ] ||
    e2e_fail "the rendered body frames 0 and 2 are the same picture"
if [ -z "$best" ]; then
    E2E_KEEP=1
    e2e_fail "the screenshot equals no rendered frame (pictures kept in $E2E_TMP)"
fi
echo "the window equals the rendering of body frame $best outside the eye patch"
e2e_focus
e2e_key Escape
e2e_wait_exit 5 || e2e_fail "exit status $?"
echo PASS
