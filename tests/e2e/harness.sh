# SPDX-FileCopyrightText: 2026 Velmia developers
# SPDX-License-Identifier: MIT
# End-to-end harness: runs a program on a private Xvfb display and drives it
# as a person would. Sourced by the test scripts.
#
#   e2e_require_tools                    fails when a tool is missing
#   e2e_start_x WIDTHxHEIGHT [wm]        private X server (+ openbox with "wm")
#   e2e_launch DIR PROGRAM [ARGS...]     start the program in DIR; output in $E2E_OUT
#   e2e_wait_window                      sets E2E_WIN (the client window id)
#   e2e_key KEYSYM...  e2e_type TEXT     keyboard
#   e2e_click X Y [BUTTON]  e2e_dblclick X Y  e2e_wheel up|down N
#                                        mouse, at client coordinates
#   e2e_shot FILE                        screenshot of the client area
#   e2e_pixel FILE X Y                   "r,g,b" of one pixel of a screenshot
#   e2e_region_is FILE WxH+X+Y r,g,b     the whole region has that colour
#   e2e_wait_line PATTERN [SECONDS]      wait for an output line (grep -E)
#   e2e_render_frames RENDER DIR         the start drawn headless from DIR's
#                                        pictures, one file per body frame
#   e2e_rendered_frame FILE              which of them a screenshot equals
#                                        outside the eye patch (empty: none)
#   e2e_cleanup                          (runs on exit) stops everything started
set -u

# Sanitizer builds: ignore leaks of the system libraries below Qt.
export LSAN_OPTIONS="suppressions=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"

E2E_TMP=$(mktemp -d "${TMPDIR:-/tmp}/velmia-e2e.XXXXXX")
E2E_OUT="$E2E_TMP/program.out"
E2E_PIDS=()
E2E_APP_PID=""
E2E_WIN=""

e2e_cleanup() {
    local pid
    for ((i = ${#E2E_PIDS[@]} - 1; i >= 0; i--)); do
        pid=${E2E_PIDS[i]}
        kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null
    done
    E2E_PIDS=()
    [ -n "${E2E_KEEP:-}" ] || rm -rf "$E2E_TMP"
}
trap e2e_cleanup EXIT

e2e_fail() {
    echo "FAIL: $*" >&2
    if [ -f "$E2E_OUT" ]; then
        echo "--- program output ---" >&2
        cat "$E2E_OUT" >&2
    fi
    exit 1
}

e2e_require_tools() {
    local t
    for t in Xvfb xdotool import convert xwininfo "$@"; do
        if ! command -v "$t" >/dev/null 2>&1; then
            echo "FAIL: $t is not installed" >&2
            exit 1
        fi
    done
}

# Starts Xvfb on a free display (the server picks it) and optionally openbox.
e2e_start_x() {
    local size=$1 wm=${2:-}
    local fifo="$E2E_TMP/displayfd"
    mkfifo "$fifo"
    Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp -noreset 3>"$fifo" >"$E2E_TMP/xvfb.log" 2>&1 &
    E2E_PIDS+=($!)
    local n
    read -r -t 10 n <"$fifo" || e2e_fail "Xvfb did not start"
    export DISPLAY=":$n"
    unset WAYLAND_DISPLAY
    export QT_QPA_PLATFORM=xcb
    export XDG_RUNTIME_DIR="$E2E_TMP/runtime"
    mkdir -p -m 700 "$XDG_RUNTIME_DIR"
    if [ "$wm" = wm ]; then
        command -v openbox >/dev/null 2>&1 || { echo "FAIL: openbox is not installed (scripts/install-deps installs it)" >&2; exit 1; }
        openbox --config-file /dev/null >"$E2E_TMP/wm.log" 2>&1 &
        E2E_PIDS+=($!)
        # openbox owns the WM selection once it manages the screen.
        for _ in $(seq 50); do
            xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
            sleep 0.1
        done
    fi
}

e2e_launch() {
    local dir=$1
    shift
    (cd "$dir" && exec "$@") >"$E2E_OUT" 2>"$E2E_TMP/program.err" &
    E2E_APP_PID=$!
    E2E_PIDS+=($E2E_APP_PID)
}

# The program's client window: the one of its process that shows 800 x 600.
e2e_wait_window() {
    local id w
    for _ in $(seq 100); do
        for id in $(xdotool search --onlyvisible --pid "$E2E_APP_PID" 2>/dev/null); do
            w=$(xwininfo -id "$id" 2>/dev/null | awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print w "x" h}')
            if [ "$w" = "800x600" ]; then
                E2E_WIN=$id
                return 0
            fi
        done
        kill -0 "$E2E_APP_PID" 2>/dev/null || e2e_fail "the program ended before showing its window"
        sleep 0.1
    done
    e2e_fail "no 800x600 window appeared"
}

# Absolute screen position of the client area's top-left corner.
e2e_client_origin() {
    xwininfo -id "$E2E_WIN" | awk '/Absolute upper-left X:/ {x=$4} /Absolute upper-left Y:/ {y=$4} END {print x, y}'
}

e2e_focus() {
    xdotool windowactivate --sync "$E2E_WIN" >/dev/null 2>&1 || xdotool windowfocus --sync "$E2E_WIN" >/dev/null 2>&1
}

e2e_key() {
    xdotool key --delay 30 "$@"
}

e2e_type() {
    xdotool type --delay 30 "$1"
}

e2e_move() {
    local ox oy
    read -r ox oy < <(e2e_client_origin)
    xdotool mousemove --sync $((ox + $1)) $((oy + $2))
}

e2e_click() {
    e2e_move "$1" "$2"
    xdotool click "${3:-1}"
}

e2e_dblclick() {
    e2e_move "$1" "$2"
    xdotool click --repeat 2 --delay 80 1
}

e2e_wheel() {
    local button=4
    [ "$1" = down ] && button=5
    xdotool click --repeat "$2" --delay 40 "$button"
}

e2e_shot() {
    import -window "$E2E_WIN" "$1" 2>/dev/null || e2e_fail "screenshot failed"
}

e2e_pixel() {
    convert "$1" -crop "1x1+$2+$3" +repage -depth 8 txt:- |
        sed -n '2s/^[^(]*(\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1,\2,\3/p'
}

e2e_region_is() {
    local file=$1 geometry=$2 rgb=$3 got
    got=$(convert "$file" -crop "$geometry" +repage -depth 8 -unique-colors txt:- | tail -n +2 |
        sed 's/^[^(]*(\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1,\2,\3/' | tr '\n' ' ')
    [ "$got" = "$rgb " ]
}

e2e_wait_line() {
    local pattern=$1 seconds=${2:-5}
    for _ in $(seq $((seconds * 20))); do
        grep -qE "$pattern" "$E2E_OUT" 2>/dev/null && return 0
        sleep 0.05
    done
    e2e_fail "no output line matching '$pattern'"
}

e2e_wait_exit() {
    local seconds=${1:-5}
    for _ in $(seq $((seconds * 20))); do
        kill -0 "$E2E_APP_PID" 2>/dev/null || { wait "$E2E_APP_PID"; return $?; }
        sleep 0.05
    done
    e2e_fail "the program did not end within $seconds s"
}

# The eye patch at rest: 243 x 123 at (238,0), where the blink and the first
# peek move.
e2e_hide_eyes() {
    convert "$1" -fill black -draw "rectangle 238,0 480,122" -depth 8 "PNG24:$2"
}

# The lower half breathes: a window shows one of three body frames.
e2e_render_frames() {
    local render=$1 dir=$2 f
    for f in 0 1 2; do
        (cd "$dir" && "$render" --frame $f -o "$E2E_TMP/frame$f.png") >/dev/null ||
            e2e_fail "velmia-render --frame $f failed"
        e2e_hide_eyes "$E2E_TMP/frame$f.png" "$E2E_TMP/frame$f-masked.png"
    done
    # The frames differ from one another, or comparing with them could not tell them apart.
    [ "$(compare -metric AE "$E2E_TMP/frame0.png" "$E2E_TMP/frame2.png" null: 2>&1)" != 0 ] ||
        e2e_fail "the rendered body frames 0 and 2 are the same picture"
}

e2e_rendered_frame() {
    local f n
    e2e_hide_eyes "$1" "$E2E_TMP/shot-masked.png"
    for f in 0 1 2; do
        n=$(compare -metric AE "$E2E_TMP/frame$f-masked.png" "$E2E_TMP/shot-masked.png" null: 2>&1)
        echo "body frame $f: $n pixels differ" >&2
        [ "$n" = 0 ] && { echo $f; return; }
    done
}

# A busy machine may show the window before its first paint: takes up to five
# screenshots with SHOT (a command given the file to write) until one equals a
# rendered frame, and sets E2E_FRAME to that frame; fails with WHAT otherwise.
e2e_match_rendered_frame() {
    local shot=$1 what=$2 try
    E2E_FRAME=""
    for try in 1 2 3 4 5; do
        sleep 1
        "$shot" "$E2E_TMP/window.png"
        echo "screenshot $try:"
        E2E_FRAME=$(e2e_rendered_frame "$E2E_TMP/window.png")
        [ -n "$E2E_FRAME" ] && return 0
    done
    E2E_KEEP=1
    e2e_fail "$what (pictures kept in $E2E_TMP)"
}
