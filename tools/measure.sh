#!/usr/bin/env bash
# Start-up time, idle processor time and peak memory of tarnwick, measured in
# the same run next to a bare SDL2 window (baseline_sdl), under Xvfb.
#
#   tools/measure.sh [build-folder]       (default: build)
#
# Start-up: launch to the first frame on screen (first_frame), median of 5.
# Idle CPU: utime + stime from /proc/PID/stat over 10 s while xclip owns the
# clipboard. Peak memory: VmHWM from /proc/PID/status after that.
# Key to frame (tarnwick only): a two-move game is pasted, then Home and End
# are pressed in turn (key_latency) and the time from each key to the changed
# pixel of the first stone is taken; median of 10.
set -euo pipefail
build=${1:-build}
bin="$build/bin"
for tool in Xvfb xclip; do
    command -v "$tool" >/dev/null || { echo "measure: $tool is not installed" >&2; exit 1; }
done
for program in tarnwick baseline_sdl first_frame key_latency; do
    [ -x "$bin/$program" ] || { echo "measure: $bin/$program is not built" >&2; exit 1; }
done

display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
children=()
cleanup() {
    for pid in "${children[@]}"; do kill "$pid" 2>/dev/null || true; done
    kill "$xvfb" 2>/dev/null || true
}
trap cleanup EXIT
export DISPLAY=$display SDL_VIDEODRIVER=x11
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done

ticks=$(getconf CLK_TCK)
cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }

startup_ms() {  # program -> median launch-to-first-frame in ms over 5 runs
    local program=$1 runs=() pid
    for _ in 1 2 3 4 5; do
        runs+=("$("$bin/first_frame" 700 120 "$bin/$program" 2>/tmp/measure-pid.$$)")
        pid=$(head -1 /tmp/measure-pid.$$)
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
        sleep 0.3
    done
    rm -f /tmp/measure-pid.$$
    printf '%s\n' "${runs[@]}" | sort -n | sed -n 3p
}

idle_and_memory() {  # program -> "cpu% vmhwm_kB"
    local program=$1 pid before after
    "$bin/$program" >/dev/null 2>&1 &
    pid=$!
    children+=("$pid")
    sleep 2
    before=$(cpu_ticks "$pid")
    sleep 10
    after=$(cpu_ticks "$pid")
    local hwm
    hwm=$(awk '/VmHWM/ {print $2}' "/proc/$pid/status")
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    awk -v t=$((after - before)) -v hz="$ticks" -v m="$hwm" 'BEGIN { printf "%.2f %d\n", 100 * t / hz / 10, m }'
}

# Exactly "Havannah" is never offered to the import, so nothing beeps.
printf 'Havannah' | xclip -quiet -selection clipboard >/dev/null 2>&1 &
children+=("$!")
echo "program        start-up(ms)  idle-cpu(%)  VmHWM(MB)"
for program in baseline_sdl tarnwick; do
    s=$(startup_ms "$program")
    read -r cpu hwm < <(idle_and_memory "$program")
    printf '%-14s %12s  %11s  %9.1f\n' "$program" "$s" "$cpu" "$(awk -v k="$hwm" 'BEGIN{print k/1024}')"
done

# The first stone of "1.D4 2.E5" on the base-8 board: D4's stone square has
# its corner at (117, 415), so (130, 428) is inside the stone. Home empties
# the board there; End puts the stone back. With "analysis", the A key first
# starts the engine's analysis, which then follows every Home and End.
key_to_frame_ms() {
    local mode=${1:-}
    local pid presses=()
    "$bin/first_frame" 700 120 "$bin/tarnwick" >/dev/null 2>/tmp/measure-pid.$$
    pid=$(head -1 /tmp/measure-pid.$$)
    rm -f /tmp/measure-pid.$$
    children+=("$pid")
    local game='1.D4 2.E5'
    [[ $mode == review ]] && game='1.D4 2.E5 3.D5 4.E4 5.C4 6.F5 7.C5 8.F4 9.C6 10.F6 11.B5 12.G5'
    printf '%s' "$game" | xclip -quiet -selection clipboard >/dev/null 2>&1 &
    children+=("$!")
    sleep 1
    if [[ -n $mode ]]; then
        local key=a
        [[ $mode == review ]] && key=r
        xdotool search --name Tarnwick windowfocus --sync key "$key" >/dev/null 2>&1 || echo "could not press $key" >&2
        sleep 1
    fi
    for _ in 1 2 3 4 5; do presses+=(Home End); done
    "$bin/key_latency" Tarnwick 130 428 "${presses[@]}" | awk '{print $2}' | sort -n |
        awk '{v[NR] = $1} END { if (NR == 0 || v[1] == "timeout") print "n/a"; else print (v[int((NR + 1) / 2)] + v[int(NR / 2) + 1]) / 2 }'
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
}
echo "tarnwick key press to changed frame (ms, median of 10): $(key_to_frame_ms)"
echo "the same with the analysis on:                          $(key_to_frame_ms analysis)"
echo "the same during a whole-game review:                     $(key_to_frame_ms review)"
