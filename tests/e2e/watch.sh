#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Velmia developers
# SPDX-License-Identifier: MIT
# velmia --watch on the real window: the worn costume file is saved again as
# a narrow red costume and the window shows it within a second, cut by its
# own outline (the body shows beside it, no white block); without --watch the
# window keeps the costume it started with.
#   watch.sh VELMIA RUN_DIR [blank]
. "$(dirname "$0")/harness.sh"
program=$(realpath "$1")
rundir=$2
if [ "${3:-}" = blank ]; then
    echo "FAIL: the program is a stand-in" >&2
    exit 1
fi
e2e_require_tools
ls "$rundir"/vlm_*.bmp >/dev/null 2>&1 || e2e_fail "no default pictures in $rundir"

e2e_start_x 800x600
mkdir -p "$E2E_TMP/run"
cp -r "$rundir"/. "$E2E_TMP/run/"
# A 530 x 300 costume: red in columns 180-329, white (transparent) elsewhere.
convert -size 530x300 xc:white -fill "rgb(200,30,30)" -draw "rectangle 180,0 329,299" -type TrueColor \
    "BMP3:$E2E_TMP/narrow.bmp" || e2e_fail "convert cannot write the costume"

# Saves the narrow costume over vlm_co.bmp as an editor does (a new file
# renamed over the old one) and takes a shot 1 s later.
save_and_shoot() {
    cp "$E2E_TMP/narrow.bmp" "$E2E_TMP/run/vlm_co.new"
    mv "$E2E_TMP/run/vlm_co.new" "$E2E_TMP/run/vlm_co.bmp"
    sleep 1.0
    e2e_shot "$1"
}
red=200,30,30

e2e_launch "$E2E_TMP/run" "$program" --watch
e2e_wait_window
sleep 1.5
e2e_shot "$E2E_TMP/before.png"
e2e_region_is "$E2E_TMP/before.png" 10x10+300+580 $red && e2e_fail "the start-up costume is already red"
save_and_shoot "$E2E_TMP/after.png"
# The costume is drawn at (110,300): its red columns are window columns 290-439.
e2e_region_is "$E2E_TMP/after.png" 10x10+300+580 $red || e2e_fail "the saved costume is not shown within a second"
e2e_region_is "$E2E_TMP/after.png" 10x10+420+580 $red || e2e_fail "the saved costume is not shown whole"
for x in 210 600; do
    px=$(e2e_pixel "$E2E_TMP/after.png" "$x" 560)
    [ "$px" != 255,255,255 ] || e2e_fail "a white block beside the costume at ($x,560)"
    [ "$px" != $red ] || e2e_fail "the costume reaches ($x,560)"
done
echo "ok: the saved costume is shown, cut by its own outline"
kill "$E2E_APP_PID" 2>/dev/null
wait "$E2E_APP_PID" 2>/dev/null

# Without --watch the window keeps its costume.
cp "$rundir/vlm_co.bmp" "$E2E_TMP/run/vlm_co.bmp"
e2e_launch "$E2E_TMP/run" "$program"
e2e_wait_window
sleep 1.5
save_and_shoot "$E2E_TMP/unwatched.png"
e2e_region_is "$E2E_TMP/unwatched.png" 10x10+300+580 $red && e2e_fail "without --watch the costume changed"
echo "ok: without --watch nothing is reloaded"
