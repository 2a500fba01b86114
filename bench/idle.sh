#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Velmia developers
# SPDX-License-Identifier: MIT
# Idle cost of the real window on a private Xvfb display: CPU time the
# program's own threads used over a stretch of wall time, and its resident
# memory at the end.
#   bench/idle.sh PROGRAM RUN_DIR [portrait|show] [SECONDS] [SCALE]
# CPU time is read from the kernel's account of the process itself
# (/proc/PID/stat utime + stime, 10 ms ticks, and the sum of
# /proc/PID/task/*/schedstat, nanoseconds), so other programs running on the
# machine barely change the figure; it is not wall-clock sampling.
set -u
program=$(realpath "$1")
rundir=$(realpath "$2")
mode=${3:-portrait}
seconds=${4:-60}
scale=${5:-1}

tmp=$(mktemp -d "${TMPDIR:-/tmp}/velmia-idle.XXXXXX")
pids=()
cleanup() {
    for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
        kill "${pids[i]}" 2>/dev/null && wait "${pids[i]}" 2>/dev/null
    done
    rm -rf "$tmp"
}
trap cleanup EXIT

mkfifo "$tmp/displayfd"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$tmp/displayfd" >"$tmp/xvfb.log" 2>&1 &
pids+=($!)
read -r -t 10 n <"$tmp/displayfd" || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$n" QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR="$tmp/runtime"
unset WAYLAND_DISPLAY
mkdir -p -m 700 "$XDG_RUNTIME_DIR"
[ "$scale" != 1 ] && export QT_SCALE_FACTOR="$scale"

mkdir -p "$tmp/run"
cp -r "$rundir"/. "$tmp/run/"
(cd "$tmp/run" && exec "$program") >"$tmp/out" 2>&1 &
app=$!
pids+=($app)
for _ in $(seq 100); do
    xdotool search --pid "$app" >/dev/null 2>&1 && break
    sleep 0.1
done
sleep 2
if [ "$mode" = show ]; then
    # Copy the figure to the left, then start the show.
    win=$(xdotool search --pid "$app" | tail -1)
    xdotool key --window "$win" q
    sleep 0.5
    xdotool key --window "$win" w
    sleep 2
fi

ticks() { awk '{ print $14 + $15 }' "/proc/$app/stat"; }
nanos() { cat /proc/"$app"/task/*/schedstat | awk '{ s += $1 } END { printf "%.0f\n", s }'; }
hz=$(getconf CLK_TCK)
t0=$(ticks)
s0=$(nanos)
w0=$(date +%s.%N)
sleep "$seconds"
t1=$(ticks)
s1=$(nanos)
w1=$(date +%s.%N)
rss=$(awk '/^VmRSS:/ { print $2 }' "/proc/$app/status")
anon=$(awk '/^Anonymous:/ { print $2 }' "/proc/$app/smaps_rollup")
awk -v t0="$t0" -v t1="$t1" -v hz="$hz" -v s0="$s0" -v s1="$s1" -v w0="$w0" -v w1="$w1" -v rss="$rss" \
    -v anon="$anon" -v mode="$mode" -v scale="$scale" 'BEGIN {
    wall = w1 - w0
    printf "%s x%s: CPU %.3f %% of one core (stat: %.2f s in %.1f s), %.3f %% (schedstat), resident %.1f MB (anonymous %.1f MB)\n",
        mode, scale, 100 * (t1 - t0) / hz / wall, (t1 - t0) / hz, wall, 100 * (s1 - s0) / 1e9 / wall, rss / 1024, anon / 1024 }'
