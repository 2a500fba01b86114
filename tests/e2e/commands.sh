#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Velmia developers
# SPDX-License-Identifier: MIT
# Key commands on the real window: r, k, t and y change the ribbon, the
# choker, the flower and the hair where they are drawn, and w after q starts
# the scene show with a second figure on the left.
#   commands.sh VELMIA RUN_DIR [blank]
. "$(dirname "$0")/harness.sh"
program=$(realpath "$1")
rundir=$2
if [ "${3:-}" = blank ]; then
    echo "FAIL: the program is a stand-in" >&2
    exit 1
fi
e2e_require_tools compare
if ! ls "$rundir"/vlm_*.bmp >/dev/null 2>&1; then
    echo "FAIL: no default pictures" >&2
    exit 1
fi

e2e_start_x 800x600
mkdir -p "$E2E_TMP/run"
cp -r "$rundir"/. "$E2E_TMP/run/"
e2e_launch "$E2E_TMP/run" "$program"
e2e_wait_window
e2e_wait_ready
e2e_focus

# Types one key and waits until the region changed by at least N pixels.
changes() {
    local key=$1 region=$2 least=$3 what=$4
    e2e_shot "$E2E_TMP/before.png"
    e2e_type "$key"
    e2e_expect after "$what: fewer than $least pixels changed in $region" \
        e2e_differ_at_least "$E2E_TMP/before.png" "$E2E_TMP/after.png" "$region" "$least"
    echo "ok: $what"
}

changes r 200x80+370+470 1500 "r hides the ribbon"
changes k 150x150+350+260 1500 "k shows the choker"
# (the flower in the hair is a small one, beside the hairband)
changes t 100x120+480+0 800 "t shows the flower"
changes y 450x250+150+0 5000 "y changes the hair"

# q copies the figure to the left; w starts the show: a second head on the
# left, the first one moved right.
e2e_shot "$E2E_TMP/portrait.png"
e2e_type q
e2e_type w
e2e_expect show "w after q did not start the show" \
    e2e_differ_at_least "$E2E_TMP/portrait.png" "$E2E_TMP/show.png" 200x120+100+0 5000
echo "ok: w after q starts the show"
[ -n "${E2E_SHOT_COPY:-}" ] && cp "$E2E_TMP"/*.png "$E2E_SHOT_COPY"/
exit 0
