#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Velmia developers
# SPDX-License-Identifier: MIT
# Measures a program on Xvfb: the time from process start to its first
# painted frame, and its CPU use while idle.
#   measure.sh PROGRAM [SECONDS] [RUN_DIR]
# The probe program runs a 100 ms timer that changes nothing on screen.
. "$(dirname "$0")/harness.sh"
program=$(realpath "$1")
seconds=${2:-60}
rundir=${3:-}
e2e_require_tools
e2e_start_x 1024x768
mkdir -p "$E2E_TMP/run"
[ -n "$rundir" ] && cp -r "$rundir"/. "$E2E_TMP/run/"
export VELMIA_REPORT_FIRST_FRAME=1
launched=$(date +%s.%N)
e2e_launch "$E2E_TMP/run" "$program"
e2e_wait_window
for _ in $(seq 50); do
    grep -q 'first frame' "$E2E_TMP/program.err" && break
    sleep 0.1
done
line=$(grep 'first frame' "$E2E_TMP/program.err")
echo "$line"
painted=$(echo "$line" | sed -n 's/.*wall clock \([0-9.]*\).*/\1/p')
[ -n "$painted" ] && awk -v a="$launched" -v b="$painted" 'BEGIN { printf "first frame %.1f ms after the launch command\n", (b - a) * 1000 }'
sleep 2
ticks() { awk '{ print $14 + $15 }' "/proc/$E2E_APP_PID/stat"; }
hz=$(getconf CLK_TCK)
t0=$(ticks)
w0=$(date +%s.%N)
sleep "$seconds"
t1=$(ticks)
w1=$(date +%s.%N)
awk -v t0="$t0" -v t1="$t1" -v hz="$hz" -v w0="$w0" -v w1="$w1" 'BEGIN {
    cpu = (t1 - t0) / hz; wall = w1 - w0;
    printf "idle CPU: %.2f s of CPU in %.1f s = %.3f %% of one core\n", cpu, wall, 100 * cpu / wall }'
