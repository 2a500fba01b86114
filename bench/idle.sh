#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Velmia developers
# SPDX-License-Identifier: MIT
# Idle cost of the real window on a private Xvfb display, beside its floor: an
# empty Qt window with a 100 ms timer (velmia_empty_window) runs on the same
# display over the same stretch of time. For each: CPU time its own threads
# used, wake-ups per second, and (for the program) resident memory; then the
# program's figures as multiples of the floor's.
#   bench/idle.sh [--wayland] PROGRAM RUN_DIR [portrait|show] [SECONDS] [SCALE] [FLOOR]
# FLOOR defaults to velmia_empty_window beside PROGRAM's build (build/bench/).
# --wayland: both are clients of a private headless Weston (1920 x 1080,
# pixman renderer) instead; the floor gets the program's own Wayland default
# (no title bar drawn by Qt) unless QT_WAYLAND_DISABLE_WINDOWDECORATION is set,
# and keys reach the program through the test seat of velmia-weston-input.so
# (build/tests/e2e/).
# CPU time is read from the kernel's account of the process itself
# (/proc/PID/stat utime + stime, 10 ms ticks, and the sum of
# /proc/PID/task/*/schedstat, nanoseconds), so other programs running on the
# machine barely change the figure; it is not wall-clock sampling. Wake-ups
# are the voluntary context switches of all its threads
# (/proc/PID/task/*/status): each is one sleep the thread woke from.
set -u
wayland=""
[ "${1:-}" = --wayland ] && { wayland=1; shift; }
program=$(realpath "$1")
rundir=$(realpath "$2")
mode=${3:-portrait}
seconds=${4:-60}
scale=${5:-1}
floor=${6:-$(dirname "$program")/bench/velmia_empty_window}
[ -x "$floor" ] || floor=$(dirname "$program")/../bench/velmia_empty_window
[ -x "$floor" ] || { echo "no floor program (velmia_empty_window); pass it as the sixth argument" >&2; exit 2; }
floor=$(realpath "$floor")
# VELMIA_FLOOR_PAINT="WIDTH HEIGHT PER_SECOND": the floor is instead a window
# that wakes only to paint a change of that size that often (see
# bench/floor/EmptyWindow.cpp).
floorargs=""
floorname="empty window"
if [ -n "${VELMIA_FLOOR_PAINT:-}" ]; then
    floorargs="--paint $VELMIA_FLOOR_PAINT"
    floorname="painting window ($VELMIA_FLOOR_PAINT)"
fi
if [ -n "$wayland" ]; then
    module=$(dirname "$program")/tests/e2e/velmia-weston-input.so
    [ -f "$module" ] || module=$(dirname "$program")/../tests/e2e/velmia-weston-input.so
    [ -f "$module" ] || { echo "no velmia-weston-input.so beside PROGRAM's build (it needs libweston-10-dev)" >&2; exit 2; }
    module=$(realpath "$module")
fi

tmp=$(mktemp -d "${TMPDIR:-/tmp}/velmia-idle.XXXXXX")
pids=()
cleanup() {
    for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
        kill "${pids[i]}" 2>/dev/null && wait "${pids[i]}" 2>/dev/null
    done
    rm -rf "$tmp"
}
trap cleanup EXIT

if [ -n "$wayland" ]; then
    export XDG_RUNTIME_DIR="$tmp/runtime" VELMIA_INPUT_FIFO="$tmp/input.fifo" VELMIA_INPUT_REPLY="$tmp/input.reply"
    mkdir -p -m 700 "$XDG_RUNTIME_DIR"
    mkfifo "$VELMIA_INPUT_FIFO"
    : >"$VELMIA_INPUT_REPLY"
    weston --backend=headless-backend.so --use-pixman --width=1920 --height=1080 --socket=velmia-idle \
        --no-config --idle-time=0 --modules="$module" --log="$tmp/weston.log" >/dev/null 2>&1 &
    pids+=($!)
    for _ in $(seq 100); do
        grep -q 'velmia-input: reading' "$tmp/weston.log" 2>/dev/null && break
        sleep 0.1
    done
    [ -S "$XDG_RUNTIME_DIR/velmia-idle" ] || { echo "Weston did not start" >&2; exit 1; }
    export WAYLAND_DISPLAY=velmia-idle QT_QPA_PLATFORM=wayland
    unset DISPLAY
else
    mkfifo "$tmp/displayfd"
    Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp -noreset 3>"$tmp/displayfd" >"$tmp/xvfb.log" 2>&1 &
    pids+=($!)
    read -r -t 10 n <"$tmp/displayfd" || { echo "Xvfb did not start" >&2; exit 1; }
    export DISPLAY=":$n" QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR="$tmp/runtime"
    unset WAYLAND_DISPLAY
    mkdir -p -m 700 "$XDG_RUNTIME_DIR"
fi
[ "$scale" != 1 ] && export QT_SCALE_FACTOR="$scale"

# Waits until a program shows its window: on Wayland, until its surface has
# the keyboard focus (Weston gives it to the newest window).
waitwindow() {
    for _ in $(seq 100); do
        if [ -n "$wayland" ]; then
            printf 'focus\n' >"$VELMIA_INPUT_FIFO"
            sleep 0.1
            tail -1 "$VELMIA_INPUT_REPLY" | grep -q "^focus $1 " && return
        else
            xdotool search --pid "$1" >/dev/null 2>&1 && return
            sleep 0.1
        fi
    done
}

# Types one letter into the program's window.
key() {
    if [ -n "$wayland" ]; then
        local code
        case $1 in q) code=16 ;; w) code=17 ;; esac
        printf 'press %s\nrelease %s\n' "$code" "$code" >"$VELMIA_INPUT_FIFO"
    else
        xdotool key --window "$(xdotool search --pid "$app" | tail -1)" "$1"
    fi
}

mkdir -p "$tmp/run"
cp -r "$rundir"/. "$tmp/run/"
(cd "$tmp/run" && exec "$program") >"$tmp/out" 2>&1 &
app=$!
pids+=($app)
waitwindow "$app"
if [ "$mode" = show ]; then
    # Copy the figure to the left, then start the show.
    sleep 2
    key q
    sleep 0.5
    key w
fi
# shellcheck disable=SC2086 # the floor's arguments are words
QT_WAYLAND_DISABLE_WINDOWDECORATION=${QT_WAYLAND_DISABLE_WINDOWDECORATION:-1} "$floor" $floorargs >"$tmp/floor.out" 2>&1 &
empty=$!
pids+=($empty)
waitwindow "$empty"
sleep 2

ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
nanos() { cat /proc/"$1"/task/*/schedstat | awk '{ s += $1 } END { printf "%.0f\n", s }'; }
wakes() { cat /proc/"$1"/task/*/status | awk '/^voluntary_ctxt_switches:/ { s += $2 } END { print s }'; }
hz=$(getconf CLK_TCK)
# Reads both programs' counters into the arrays t$1, s$1 and v$1.
sample() {
    local -n t=t$1 s=s$1 v=v$1
    for p in "$app" "$empty"; do
        t[$p]=$(ticks "$p")
        s[$p]=$(nanos "$p")
        v[$p]=$(wakes "$p")
    done
}
declare -A t0 s0 v0 t1 s1 v1
sample 0
w0=$(date +%s.%N)
sleep "$seconds"
sample 1
w1=$(date +%s.%N)
kill -0 "$app" 2>/dev/null || { echo "the program ended during the measurement:" >&2; cat "$tmp/out" >&2; exit 1; }
rss=$(awk '/^VmRSS:/ { print $2 }' "/proc/$app/status")
anon=$(awk '/^Anonymous:/ { print $2 }' "/proc/$app/smaps_rollup")
awk -v hz="$hz" -v w0="$w0" -v w1="$w1" -v rss="$rss" -v anon="$anon" -v mode="$mode" -v scale="$scale" \
    -v display="${wayland:+ on Wayland}" -v floorname="$floorname" \
    -v at0="${t0[$app]}" -v at1="${t1[$app]}" -v as0="${s0[$app]}" -v as1="${s1[$app]}" \
    -v av0="${v0[$app]}" -v av1="${v1[$app]}" \
    -v et0="${t0[$empty]}" -v et1="${t1[$empty]}" -v es0="${s0[$empty]}" -v es1="${s1[$empty]}" \
    -v ev0="${v0[$empty]}" -v ev1="${v1[$empty]}" 'BEGIN {
    wall = w1 - w0
    acpu = 100 * (as1 - as0) / 1e9 / wall; ecpu = 100 * (es1 - es0) / 1e9 / wall
    awake = (av1 - av0) / wall; ewake = (ev1 - ev0) / wall
    printf "%s x%s%s: CPU %.3f %% of one core (stat: %.2f s in %.1f s), %.3f %% (schedstat), %.2f wake-ups/s, resident %.1f MB (anonymous %.1f MB)\n",
        mode, scale, display, 100 * (at1 - at0) / hz / wall, (at1 - at0) / hz, wall, acpu, awake, rss / 1024, anon / 1024
    printf "%s x%s: CPU %.3f %% (schedstat), %.2f wake-ups/s\n", floorname, scale, ecpu, ewake
    printf "ratio to the %s: CPU %.2f x, wake-ups %.2f x\n", floorname, (ecpu > 0 ? acpu / ecpu : 0), (ewake > 0 ? awake / ewake : 0) }'
