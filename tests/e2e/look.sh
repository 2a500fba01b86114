#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Velmia developers
# SPDX-License-Identifier: MIT
# The look on the real window: Ctrl+S saves it through the real save dialog
# (which offers look.velmia-look in the part folder), and after a quit
# `velmia --look` shows the same upper picture; Ctrl+C puts the window's
# 800 x 600 picture on the clipboard.
#   look.sh VELMIA RUN_DIR [blank]
. "$(dirname "$0")/harness.sh"
program=$(realpath "$1")
rundir=$2
if [ "${3:-}" = blank ]; then
    echo "FAIL: the program is a stand-in" >&2
    exit 1
fi
e2e_require_tools compare identify xclip
if ! ls "$rundir"/vlm_*.bmp >/dev/null 2>&1; then
    echo "FAIL: no default pictures" >&2
    exit 1
fi

e2e_start_x 800x600
mkdir -p "$E2E_TMP/run"
cp -r "$rundir"/. "$E2E_TMP/run/"
look="$E2E_TMP/run/look.velmia-look"
e2e_launch "$E2E_TMP/run" "$program"
e2e_wait_window
e2e_wait_ready
e2e_focus

# Her own look: long hair, the choker, the figure moved right.
e2e_shot "$E2E_TMP/start.png"
e2e_type lk
e2e_key Right
e2e_expect dressed "l, k and Right changed nothing" \
    e2e_differ_at_least "$E2E_TMP/start.png" "$E2E_TMP/dressed.png" 800x300+0+0 20000
# The first change on screen may not be the last of the three.
e2e_settled_shot "$E2E_TMP/dressed.png" 800x300+0+0

e2e_key ctrl+s
e2e_wait_dialog
e2e_answer_dialog Return "the save dialog did not write look.velmia-look" test -s "$look"
grep -q '^hair = long$' "$look" || e2e_fail "the saved look has no long hair: $(cat "$look")"
echo "ok: Ctrl+S saved look.velmia-look in the part folder"
# A slow start may reach the scene change before the save: the look keeps
# what was on screen when it was saved.
e2e_settled_shot "$E2E_TMP/saved.png" 800x300+0+0

e2e_focus
e2e_key ctrl+c
e2e_until "the clipboard holds no image" sh -c "xclip -selection clipboard -t TARGETS -o 2>/dev/null | grep -qx image/png"
xclip -selection clipboard -t image/png -o >"$E2E_TMP/clip.png" || e2e_fail "the clipboard's image could not be read"
size=$(identify -format '%wx%h' "$E2E_TMP/clip.png")
[ "$size" = 800x600 ] || e2e_fail "the clipboard holds a $size image, not 800x600"
echo "ok: Ctrl+C put an 800 x 600 image on the clipboard"

e2e_key Escape
e2e_until "Esc did not quit" e2e_exited

# Started again with the look: the same upper picture (a blink may come
# between two shots, so the comparison is repeated).
worn_as_saved() {
    e2e_differ_below "$E2E_TMP/dressed.png" "$E2E_TMP/worn.png" 800x300+0+0 200 ||
        e2e_differ_below "$E2E_TMP/saved.png" "$E2E_TMP/worn.png" 800x300+0+0 200
}
e2e_launch "$E2E_TMP/run" "$program" --look "$look"
e2e_wait_window
e2e_wait_ready
e2e_expect worn "velmia --look did not show the saved look" worn_as_saved
echo "ok: velmia --look shows the saved look"
[ -n "${E2E_SHOT_COPY:-}" ] && cp "$E2E_TMP"/*.png "$E2E_SHOT_COPY"/
exit 0
