#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Velmia developers
# SPDX-License-Identifier: MIT
# The running portrait blinks: the eye patch of the window changes for a few
# tenths of a second around tick 48 (about 4.8 s after start-up) and comes
# back as it was; the later blinks of the cycle (ticks 147, 248) give a
# second and third chance on a busy machine.
#   blink.sh VELMIA RUN_DIR [blank]
. "$(dirname "$0")/harness.sh"
program=$(realpath "$1")
rundir=$2
blank=${3:-}
e2e_require_tools compare bc
if [ -n "$blank" ]; then
    echo "FAIL: the stand-in form does not blink" >&2
    exit 1
fi
if ! ls "$rundir"/vlm_*.bmp >/dev/null 2>&1; then
    echo "FAIL: no default pictures in $rundir" >&2
    exit 1
fi

e2e_start_x 800x600
mkdir -p "$E2E_TMP/run"
cp -r "$rundir"/. "$E2E_TMP/run/"
e2e_launch "$E2E_TMP/run" "$program"
e2e_wait_window
shown=$(date +%s.%N)

# The eye patch: 243 x 123 at (238,0).
eyes() { import -window "$E2E_WIN" -crop 243x123+238+0 +repage "$1" 2>/dev/null || e2e_fail "screenshot failed"; }
differs() { compare -metric AE "$1" "$2" null: 2>&1 | awk '{ print ($1 > 200) ? 1 : 0 }'; }

e2e_wait_ready
reference="$E2E_TMP/eyes-ref.png"
eyes "$reference"

closed_at=""
reopened=""
n=0
while :; do
    now=$(date +%s.%N)
    elapsed=$(echo "$now - $shown" | bc)
    [ "$(echo "$elapsed > $E2E_PATIENCE" | bc)" = 1 ] && break
    n=$((n + 1))
    shot="$E2E_TMP/eyes-$n.png"
    eyes "$shot"
    if [ "$(differs "$reference" "$shot")" = 1 ]; then
        [ -n "$closed_at" ] || closed_at=$elapsed
        cp "$shot" "$E2E_TMP/eyes-closed.png"
    elif [ -n "$closed_at" ]; then
        reopened=$elapsed
        break
    fi
done

[ -n "$closed_at" ] || e2e_fail "the eye patch never changed in $n screenshots"
[ -n "$reopened" ] || e2e_fail "the eye patch changed at ${closed_at} s but did not come back"
echo "blink seen ${closed_at} s after the window appeared, eyes back at ${reopened} s ($n screenshots)"
[ "$(echo "$closed_at > 3.5" | bc)" = 1 ] || e2e_fail "the first change came too early (${closed_at} s)"
[ "$(echo "$reopened - $closed_at < 1.5" | bc)" = 1 ] || e2e_fail "the blink lasted too long"
e2e_focus
e2e_key Escape
e2e_wait_exit || e2e_fail "exit status $?"
echo PASS
