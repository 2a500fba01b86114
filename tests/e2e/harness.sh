# SPDX-FileCopyrightText: 2026 Velmia developers
# SPDX-License-Identifier: MIT
# End-to-end harness: runs a program on a private Xvfb display and drives it
# as a person would. Sourced by the test scripts.
#
#   e2e_require_tools                    fails when a tool is missing
#   e2e_start_x WIDTHxHEIGHT [wm]        private X server (+ openbox with "wm")
#   e2e_launch DIR PROGRAM [ARGS...]     start the program in DIR; output in $E2E_OUT
#   e2e_wait_window                      sets E2E_WIN (the client window id)
#   e2e_wait_painted                     the program painted its first frame
#   e2e_wait_dialog                      sets E2E_DIALOG (another window of
#                                        the program, a dialog or message box)
#   e2e_answer_dialog KEY WHAT COMMAND... KEY to the dialog until COMMAND succeeds
#   e2e_key KEYSYM...  e2e_type TEXT     keyboard
#   e2e_click X Y [BUTTON]  e2e_dblclick X Y  e2e_wheel up|down N
#                                        mouse, at client coordinates
#   e2e_shot FILE                        screenshot of the client area
#   e2e_expect NAME WHAT COMMAND...      screenshots into $E2E_TMP/NAME.png (by
#                                        $E2E_SHOOT) until COMMAND succeeds
#   e2e_differ A B WxH+X+Y               pixels of the region that differ
#                                        between two screenshots (3% fuzz)
#   e2e_differ_at_least A B REGION N / e2e_differ_below A B REGION N
#   e2e_settled_shot FILE REGION         a screenshot once two in a row agree
#                                        in REGION outside the eye patch
#   e2e_saturation FILE                  mean colour saturation (0: grey)
#   e2e_pixel FILE X Y                   "r,g,b" of one pixel of a screenshot
#   e2e_region_is FILE WxH+X+Y r,g,b     the whole region has that colour
#   e2e_wait_line PATTERN                wait for an output line (grep -E)
#   e2e_until WHAT COMMAND...            repeat COMMAND until it succeeds
#   e2e_render_frames RENDER DIR         the start drawn headless from DIR's
#                                        pictures, one file per body frame
#   e2e_rendered_frame FILE              which of them a screenshot equals
#                                        outside the eye patch (empty: none)
#   e2e_cleanup                          (runs on exit) stops everything started
#
# Every wait is for an event (a window, a line of output, a pixel that
# changed), never for a fixed time: a test waits only as long as the event
# takes. E2E_PATIENCE seconds is how long an event may take before the test
# fails; it is long because a busy machine (other builds beside the tests)
# is slow to start a program and to draw.
set -u
E2E_PATIENCE=${E2E_PATIENCE:-90}

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
    read -r -t "$E2E_PATIENCE" n <"$fifo" || e2e_fail "Xvfb did not start"
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
        e2e_until "openbox did not take the screen" e2e_window_manager_running
    fi
}

e2e_window_manager_running() {
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'
}

e2e_launch() {
    local dir=$1
    shift
    # The program says on standard error when it painted its first frame,
    # and when each tick runs.
    (cd "$dir" && VELMIA_REPORT_FIRST_FRAME=1 VELMIA_REPORT_TICKS=1 exec "$@") >"$E2E_OUT" 2>"$E2E_TMP/program.err" &
    E2E_APP_PID=$!
    E2E_PIDS+=($E2E_APP_PID)
}

e2e_until() {
    local what=$1
    shift
    local end=$((SECONDS + E2E_PATIENCE))
    until "$@"; do
        [ "$SECONDS" -lt "$end" ] || e2e_fail "$what (waited $E2E_PATIENCE s)"
        sleep 0.05
    done
}

# The command that takes a screenshot of the program into the file it is given.
E2E_SHOOT=e2e_shot

e2e_expect() {
    local name=$1 what=$2
    shift 2
    e2e_until "$what" e2e_shoot_then "$E2E_TMP/$name.png" "$@"
}

e2e_shoot_then() {
    "$E2E_SHOOT" "$1"
    shift
    "$@"
}

# The program's visible windows other than EXCEPT, one per line.
e2e_program_windows() {
    xdotool search --onlyvisible --pid "$E2E_APP_PID" 2>/dev/null | grep -vx "${1:-}"
}

# The program's client window: the one of its process that shows 800 x 600.
e2e_find_window() {
    local id w
    kill -0 "$E2E_APP_PID" 2>/dev/null || e2e_fail "the program ended before showing its window"
    for id in $(e2e_program_windows); do
        w=$(xwininfo -id "$id" 2>/dev/null | awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print w "x" h}')
        if [ "$w" = "800x600" ]; then
            E2E_WIN=$id
            return 0
        fi
    done
    return 1
}

e2e_wait_window() {
    e2e_until "no 800x600 window appeared" e2e_find_window
}

e2e_ticks_ran() {
    [ "$(grep -c 'Timer1 tick at' "$E2E_TMP/program.err")" -ge "$1" ]
}

e2e_wait_painted() {
    e2e_until "the program painted no frame" grep -q 'first frame painted' "$E2E_TMP/program.err"
}

# Velmia holds input from the start until its first tick has run: a key
# typed before that tick is dropped, as the program means it to be. The
# second tick's report comes after the first has run.
e2e_wait_first_tick() {
    e2e_until "no tick ran" e2e_ticks_ran 2
}

e2e_wait_ready() {
    e2e_wait_painted
    e2e_wait_first_tick
}

e2e_find_dialog() {
    kill -0 "$E2E_APP_PID" 2>/dev/null || e2e_fail "the program ended instead of showing a dialog"
    E2E_DIALOG=$(e2e_program_windows "$E2E_WIN" | head -1)
    [ -n "$E2E_DIALOG" ]
}

e2e_wait_dialog() {
    e2e_until "no dialog appeared" e2e_find_dialog
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
    local ox oy x y
    read -r ox oy < <(e2e_client_origin)
    x=$((ox + $1)) y=$((oy + $2))
    # --sync waits for the pointer to move, which it does not when it is
    # there already (Xvfb starts it in the middle of the screen).
    if [ "$(xdotool getmouselocation | cut -d' ' -f1-2)" != "x:$x y:$y" ]; then
        xdotool mousemove --sync "$x" "$y"
    fi
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

e2e_differ() {
    compare -metric AE -fuzz 3% -extract "$3" "$1" "$2" null: 2>&1 | cut -d' ' -f1
}

e2e_differ_at_least() {
    local n
    n=$(e2e_differ "$1" "$2" "$3")
    echo "$n pixels of $3 differ" >&2
    [ "$n" -ge "$4" ]
}

e2e_differ_below() {
    local n
    n=$(e2e_differ "$1" "$2" "$3")
    echo "$n pixels of $3 differ" >&2
    [ "$n" -lt "$4" ]
}

e2e_saturation() {
    convert "$1" -colorspace HSL -channel G -separate +channel -format "%[fx:mean]" info:
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

# A dialog takes keys once it has the focus and has drawn itself; a key that
# came too early is pressed again.
e2e_answer_dialog() {
    local key=$1 what=$2
    shift 2
    e2e_until "$what" e2e_key_then_wait "$key" "$@"
}

e2e_key_then_wait() {
    local key=$1
    shift
    xdotool windowfocus --sync "$E2E_DIALOG" >/dev/null 2>&1
    e2e_key "$key"
    for _ in 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20; do
        "$@" && return 0
        sleep 0.1
    done
    return 1
}

e2e_wait_line() {
    e2e_until "no output line matching '$1'" grep -qE "$1" "$E2E_OUT"
}

e2e_exited() {
    ! kill -0 "$E2E_APP_PID" 2>/dev/null
}

# Waits for the program to end and returns its exit status.
e2e_wait_exit() {
    e2e_until "the program did not end" e2e_exited
    wait "$E2E_APP_PID"
}

# The eye patch at rest: 243 x 123 at (238,0), where the blink and the first
# peek move.
e2e_hide_eyes() {
    convert "$1" -fill black -draw "rectangle 238,0 480,122" -depth 8 "PNG24:$2"
}

# Keys are sent before the program has drawn them: the window is settled
# when two screenshots 0.3 s apart agree in REGION (eyes hidden, as a blink
# may come between), and the second is kept in FILE.
e2e_settled_shot() {
    local file=$1 region=$2 end=$((SECONDS + E2E_PATIENCE))
    e2e_shot "$E2E_TMP/settle-a.png"
    e2e_hide_eyes "$E2E_TMP/settle-a.png" "$E2E_TMP/settle-a-masked.png"
    while [ "$SECONDS" -lt "$end" ]; do
        sleep 0.3
        e2e_shot "$file"
        e2e_hide_eyes "$file" "$E2E_TMP/settle-b-masked.png"
        [ "$(e2e_differ "$E2E_TMP/settle-a-masked.png" "$E2E_TMP/settle-b-masked.png" "$region")" = 0 ] && return 0
        mv "$E2E_TMP/settle-b-masked.png" "$E2E_TMP/settle-a-masked.png"
    done
    e2e_fail "the window did not settle (waited $E2E_PATIENCE s)"
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

# A busy machine may show the window before its first paint: takes
# screenshots with SHOT (a command given the file to write) until one equals a
# rendered frame, and sets E2E_FRAME to that frame; fails with WHAT otherwise.
e2e_match_rendered_frame() {
    local shot=$1 what=$2 end=$((SECONDS + E2E_PATIENCE)) try=0
    E2E_FRAME=""
    while [ "$SECONDS" -lt "$end" ]; do
        try=$((try + 1))
        "$shot" "$E2E_TMP/window.png"
        echo "screenshot $try:"
        E2E_FRAME=$(e2e_rendered_frame "$E2E_TMP/window.png")
        [ -n "$E2E_FRAME" ] && return 0
        sleep 0.2
    done
    E2E_KEEP=1
    e2e_fail "$what (pictures kept in $E2E_TMP)"
}
