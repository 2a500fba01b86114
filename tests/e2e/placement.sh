#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Velmia developers
# SPDX-License-Identifier: MIT
# Window placement from the real screen size: borderless and centred on
# screens up to 600 pixels high, captioned "VelmiaAlive", fixed size and
# centred with room for the caption otherwise; the client area is 800 x 600.
#   placement.sh PROBE
. "$(dirname "$0")/harness.sh"
probe=$(realpath "$1")
e2e_require_tools xprop

check() {
    local screen=$1 wm=$2 ready=$3 captioned=$4
    e2e_start_x "$screen" "$wm"
    mkdir -p "$E2E_TMP/run"
    : >"$E2E_OUT"
    e2e_launch "$E2E_TMP/run" "$probe"
    e2e_wait_line '^ready'
    grep -qx "$ready" "$E2E_OUT" || e2e_fail "$screen $wm: expected '$ready', got '$(grep ^ready "$E2E_OUT")'"
    e2e_wait_window
    local hints extents
    hints=$(xprop -id "$E2E_WIN" WM_NORMAL_HINTS)
    echo "$hints" | grep -q 'minimum size: 800 by 600' || e2e_fail "$screen $wm: no fixed minimum size"
    echo "$hints" | grep -q 'maximum size: 800 by 600' || e2e_fail "$screen $wm: no fixed maximum size"
    if [ "$captioned" = yes ]; then
        xprop -id "$E2E_WIN" _NET_WM_NAME | grep -q '"VelmiaAlive"' || e2e_fail "$screen $wm: caption"
        if [ "$wm" = wm ]; then
            extents=$(xprop -id "$E2E_WIN" _NET_FRAME_EXTENTS)
            echo "$extents" | grep -qE '= [0-9]+, [0-9]+, [1-9][0-9]*,' || e2e_fail "$screen: no caption bar ($extents)"
        fi
    else
        # No decorations asked for, and none drawn: the client is the window.
        xprop -id "$E2E_WIN" _MOTIF_WM_HINTS | grep -qE '= 0x2, 0x[0-9a-f]+, 0x0' ||
            e2e_fail "$screen $wm: window asks for decorations"
        local left top
        read -r left top < <(e2e_client_origin)
        local want=${ready#ready }
        want=${want% *}
        [ "$left $top" = "$want" ] || e2e_fail "$screen $wm: client at $left $top, expected $want"
    fi
    e2e_focus
    e2e_key Escape
    e2e_wait_exit || e2e_fail "$screen $wm: exit status $?"
    e2e_cleanup
    E2E_TMP=$(mktemp -d "${TMPDIR:-/tmp}/velmia-e2e.XXXXXX")
    E2E_OUT="$E2E_TMP/program.out"
}

check 800x600 nowm "ready 0 0 0" no
check 799x600 nowm "ready 0 0 0" no
check 800x600 wm "ready 0 0 0" no
check 800x601 wm "ready 0 -9 25" yes
check 1024x768 wm "ready 112 74 25" yes
echo PASS
