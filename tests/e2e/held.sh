#!/usr/bin/env bash
# SPDX-FileCopyrightText: 2026 Velmia developers
# SPDX-License-Identifier: MIT
# Input at the speed people type and pan, on the real window: Left held down
# for two seconds (the keyboard repeats it 25 times a second) and the wheel
# spun for two seconds leave the scene behind her as it was, and the ticks
# go on all the while: at least 15 run during each, and held at the pan's
# limit the body still breathes.
#   held.sh VELMIA RUN_DIR [blank]
. "$(dirname "$0")/harness.sh"
program=$(realpath "$1")
rundir=$2
if [ "${3:-}" = blank ]; then
    echo "FAIL: the program is a stand-in" >&2
    exit 1
fi
e2e_require_tools compare md5sum
if ! ls "$rundir"/vlm_*.bmp >/dev/null 2>&1; then
    echo "FAIL: no default pictures" >&2
    exit 1
fi

e2e_start_x 800x600
mkdir -p "$E2E_TMP/run"
cp -r "$rundir"/. "$E2E_TMP/run/"
# The window writes every tick with its time on standard error.
e2e_launch "$E2E_TMP/run" "$program"
e2e_wait_window
e2e_focus
ticks="$E2E_TMP/program.err"

now() { date +%s.%N; }
# Waits (up to 20 s) until a tick later than time $1 has run: every tick
# before it has been written by then.
wait_tick_after() {
    for _ in $(seq 400); do
        awk -v t="$1" '/Timer1 tick at/ && $NF > t { found = 1 } END { exit !found }' "$ticks" 2>/dev/null && return 0
        sleep 0.05
    done
    e2e_fail "no tick ran after $1"
}
ticks_between() {
    awk -v a="$1" -v b="$2" '/Timer1 tick at/ && $NF >= a && $NF <= b { n++ } END { print n + 0 }' "$ticks"
}
# A region of the window, as a checksum of its pixels.
region() {
    import -window "$E2E_WIN" -crop "$1" +repage -depth 8 rgb:- 2>/dev/null | md5sum | cut -d' ' -f1
}
# The top right corner: sky, whatever the pan; and the lower half.
sky=40x40+755+5
body=800x300+0+300

wait_tick_after "$(now)"
# Shift+Return moves on to the next scene: the first scene change has then
# happened, as after the first minute.
start=$(region $sky)
xdotool key --delay 30 shift+Return
for _ in $(seq 100); do
    [ "$(region $sky)" != "$start" ] && break
    sleep 0.1
done
scene=$(region $sky)
[ "$scene" != "$start" ] || e2e_fail "Shift+Return did not change the scene"

# Holds a key (keydown, 2 s, keyup) or spins the wheel (50 notches over 2 s),
# watching the sky meanwhile; then counts the ticks that ran. With "breath"
# the key stays down until two lower halves were seen, up to 10 s: on a busy
# machine a screenshot takes long enough for a few of them to fall within one
# body frame.
hold() {
    local what=$1 breath=${2:-} shots=0 t0 t1 seen n spinner=""
    : >"$E2E_TMP/bodies"
    # The wheel turns what is under the pointer.
    [ "$what" = wheel ] && xdotool mousemove --window "$E2E_WIN" 400 300
    t0=$(now)
    if [ "$what" = wheel ]; then
        xdotool click --repeat 50 --delay 40 4 &
        spinner=$!
    else
        xdotool keydown "$what"
    fi
    local until longest
    until=$(echo "$t0 + 2" | bc)
    longest=$(echo "$t0 + 10" | bc)
    while [ "$(echo "$(now) < $until" | bc)" = 1 ] ||
        { [ -n "$breath" ] && [ "$(sort -u "$E2E_TMP/bodies" | wc -l)" -lt 2 ] &&
            [ "$(echo "$(now) < $longest" | bc)" = 1 ]; }; do
        seen=$(region $sky)
        [ "$seen" = "$scene" ] || {
            [ "$what" = wheel ] || xdotool keyup "$what"
            e2e_fail "$what: the scene changed while held ($shots shots)"
        }
        region $body >>"$E2E_TMP/bodies"
        shots=$((shots + 1))
    done
    if [ "$what" = wheel ]; then
        wait "$spinner"
        echo "wheel: 50 notches in $(echo "$(now) - $t0" | bc) s"
    else
        xdotool keyup "$what"
    fi
    t1=$(now)
    wait_tick_after "$t1"
    [ "$(region $sky)" = "$scene" ] || e2e_fail "$what: the scene changed after it was let go"
    n=$(ticks_between "$t0" "$t1")
    echo "$what: $n ticks in $(echo "$t1 - $t0" | bc) s, the scene unchanged in $shots shots," \
        "$(sort -u "$E2E_TMP/bodies" | wc -l) different lower halves"
    [ "$n" -ge 15 ] || e2e_fail "$what: only $n ticks ran while it was held"
}

# Left from the middle pans her to the left edge (a redraw a repeat); held
# again at the edge it changes nothing but holds the ticks at every repeat:
# the body breathes on.
before=$(region $body)
hold Left
[ "$(region $body)" != "$before" ] || e2e_fail "Left held did not pan the portrait"
hold Left breath
[ "$(sort -u "$E2E_TMP/bodies" | wc -l)" -ge 2 ] || e2e_fail "the body did not breathe while Left was held"

# Back to the middle; the wheel pans her left the same way.
xdotool key BackSpace
wait_tick_after "$(now)"
hold wheel

e2e_focus
e2e_key Escape
e2e_wait_exit 5 || e2e_fail "exit status $?"
echo PASS
