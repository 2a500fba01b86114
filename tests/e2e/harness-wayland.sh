# SPDX-FileCopyrightText: 2026 Velmia developers
# SPDX-License-Identifier: MIT
# End-to-end harness for Wayland: a private headless Weston (its pixman
# renderer draws the output into memory) with a test seat whose keyboard and
# pointer a script drives (velmia-weston-input.so), screenshots by
# weston-screenshooter. Sourced after harness.sh, whose launching, output and
# picture helpers it shares.
#
#   wl_require_tools PLUGIN              fails when a tool or the module is missing
#   wl_start_weston WIDTHxHEIGHT PLUGIN  the compositor, with its socket in the
#                                        test's own runtime folder
#   wl_wait_window                       waits until the program's surface has
#                                        the keyboard focus; sets WL_X WL_Y
#                                        (its place) WL_W WL_H (its size)
#   wl_key NAME...                       press and release keys (a-z, Escape,
#                                        Prior, Home, BackSpace, F2)
#   wl_hold NAME / wl_letgo NAME         a key down / up (Shift)
#   wl_move X Y  wl_click X Y [left|right]  wl_dblclick X Y  wl_wheel N
#                                        the pointer, at client coordinates
#   wl_shot FILE                         screenshot of the program's surface
#   wl_shot_output FILE                  screenshot of the whole output
#   wl_sync                              waits until Weston has run the input sent
set -u

WL_X=0
WL_Y=0
WL_W=0
WL_H=0

wl_require_tools() {
    local t
    for t in weston weston-screenshooter convert compare; do
        command -v "$t" >/dev/null 2>&1 || e2e_fail "$t is not installed (scripts/install-deps installs it)"
    done
    [ -f "$1" ] || e2e_fail "no Weston input module at $1 (it needs libweston-10-dev)"
}

wl_start_weston() {
    local size=$1 plugin=$2
    export XDG_RUNTIME_DIR="$E2E_TMP/wl-runtime"
    mkdir -p -m 700 "$XDG_RUNTIME_DIR"
    export VELMIA_INPUT_FIFO="$E2E_TMP/input.fifo" VELMIA_INPUT_REPLY="$E2E_TMP/input.reply"
    mkfifo "$VELMIA_INPUT_FIFO"
    : >"$VELMIA_INPUT_REPLY"
    # --debug lets weston-screenshooter read the output; --idle-time=0 keeps
    # the screen from locking.
    weston --backend=headless-backend.so --use-pixman --width="${size%x*}" --height="${size#*x}" \
        --socket=velmia-e2e --no-config --idle-time=0 --debug --modules="$plugin" \
        --log="$E2E_TMP/weston.log" >/dev/null 2>&1 &
    E2E_PIDS+=($!)
    wl_started() {
        grep -q 'velmia-input: reading' "$E2E_TMP/weston.log" 2>/dev/null && [ -S "$XDG_RUNTIME_DIR/velmia-e2e" ]
    }
    e2e_until "Weston did not start" wl_started
    export WAYLAND_DISPLAY=velmia-e2e QT_QPA_PLATFORM=wayland
    # No X server to fall back to.
    unset DISPLAY
}

wl_send() {
    printf '%s\n' "$@" >"$VELMIA_INPUT_FIFO"
}

# Sends a request and prints Weston's answer to it. (Often called in a
# subshell, so the mark is the time, not a counter.)
wl_ask() {
    local mark
    mark=$(date +%s%N)
    wl_send "$@" "sync $mark"
    e2e_until "Weston did not answer '$*'" grep -qx "sync $mark" "$VELMIA_INPUT_REPLY"
    grep -B1 -x "sync $mark" "$VELMIA_INPUT_REPLY" | head -1 | grep -vx "sync $mark"
    return 0
}

wl_sync() {
    wl_ask >/dev/null
}

wl_focused() {
    local answer pid
    answer=$(wl_ask focus)
    read -r _ pid WL_X WL_Y WL_W WL_H <<<"$answer"
    [ "$pid" = "$E2E_APP_PID" ] && return 0
    kill -0 "$E2E_APP_PID" 2>/dev/null ||
        e2e_fail "the program ended before showing its window: $(cat "$E2E_TMP/program.err")"
    return 1
}

wl_wait_window() {
    e2e_until "the program's window never got the keyboard focus" wl_focused
}

# Linux key codes (linux/input-event-codes.h).
wl_code() {
    local rows=("qwertyuiop" "asdfghjkl" "zxcvbnm") starts=(16 30 44) i rest
    for i in 0 1 2; do
        rest=${rows[i]%%"$1"*}
        if [ ${#1} = 1 ] && [ "$rest" != "${rows[i]}" ]; then
            echo $((starts[i] + ${#rest}))
            return
        fi
    done
    case $1 in
    Escape) echo 1 ;; BackSpace) echo 14 ;; Return) echo 28 ;; Shift) echo 42 ;;
    F2) echo 60 ;; Home) echo 102 ;; Prior) echo 104 ;;
    *) e2e_fail "no key code for '$1'" ;;
    esac
}

wl_key() {
    local k c
    for k in "$@"; do
        c=$(wl_code "$k")
        wl_send "press $c" "release $c"
        sleep 0.03
    done
    wl_sync
}

wl_hold() { wl_send "press $(wl_code "$1")"; wl_sync; }
wl_letgo() { wl_send "release $(wl_code "$1")"; wl_sync; }

wl_move() {
    wl_send "move $((WL_X + $1)) $((WL_Y + $2))"
    wl_sync
}

wl_click() {
    local button=272
    [ "${3:-left}" = right ] && button=273
    wl_move "$1" "$2"
    wl_send "down $button" "up $button"
    wl_sync
}

wl_dblclick() {
    wl_move "$1" "$2"
    wl_send "down 272" "up 272"
    sleep 0.08
    wl_send "down 272" "up 272"
    wl_sync
}

wl_wheel() {
    wl_send "wheel $1"
    wl_sync
}

wl_shot_output() {
    local dir="$E2E_TMP/shooter" f
    rm -rf "$dir"
    mkdir -p "$dir"
    (cd "$dir" && weston-screenshooter) >"$E2E_TMP/shooter.log" 2>&1 || e2e_fail "weston-screenshooter failed: $(cat "$E2E_TMP/shooter.log")"
    f=$(ls "$dir"/*.png 2>/dev/null | head -1)
    [ -n "$f" ] || e2e_fail "weston-screenshooter wrote no picture"
    mv "$f" "$1"
}

wl_shot() {
    wl_shot_output "$E2E_TMP/output.png"
    convert "$E2E_TMP/output.png" -crop "${WL_W}x${WL_H}+${WL_X}+${WL_Y}" +repage -depth 8 "PNG24:$1"
}
