# Sourced by the window tests: a private Xvfb server for one test, processes
# that are ended with it, and helpers to drive and read back the screen.
# Exit status 77 (skip) when Xvfb is not installed.

session_dir=$(mktemp -d)
# The program's settings come from the session, never from the user's own
# file: every test starts with the defaults.
export XDG_CONFIG_HOME=$session_dir/config
# Sanitizer builds: ignore leaks of the window's system libraries.
export LSAN_OPTIONS="suppressions=$(cd "$(dirname "${BASH_SOURCE[0]}")/../../tools" && pwd)/lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"

session_pids=()
screen_width=1280
screen_height=1024

# Milliseconds on a clock that only matters for differences.
now_ms() {
    local micros=${EPOCHREALTIME/[.,]/}
    echo $((micros / 1000))
}

# How long a wait allows for what takes well under a second on an idle
# machine. CI runs two of these tests at a time on a busy two-core machine,
# where such a step has been seen to take over 2 s.
patience_ms=15000
# What the program does within a second on an idle machine: it ends after
# Escape or the close box, the engine's marks come and go with the A key. On
# a loaded machine the program waits its turn for a processor, so these
# checks allow PROMPT_MS: still well short of what a program that waits on
# something first would take (a fetch's 14 s stall, the rest of an automatic
# play, an engine that is never stopped or never shows its marks).
prompt_ms=3000
# No wait runs past this much time after the session began, so that a test
# whose waits keep running out still fails with its own message well before
# the TIMEOUT that tests/window/CMakeLists.txt gives it (150 s).
session_deadline=$(($(now_ms) + 120000))

# With WINDOW_TEST_SHOTS set to a folder, the last screenshot of the session is
# kept there as SESSION_NAME.png (the caller may set session_name).
end_session() {
    local i
    for ((i = ${#session_pids[@]} - 1; i >= 0; i--)); do
        # A stopped process (a test may stop one) takes SIGTERM only once resumed.
        kill "${session_pids[i]}" 2>/dev/null && kill -CONT "${session_pids[i]}" 2>/dev/null
    done
    wait 2>/dev/null
    if [[ -n ${WINDOW_TEST_SHOTS:-} && -s $session_dir/screen.rgb ]]; then
        mkdir -p "$WINDOW_TEST_SHOTS" &&
            convert -size "${screen_width}x${screen_height}" -depth 8 "rgb:$session_dir/screen.rgb" \
                "$WINDOW_TEST_SHOTS/${session_name:-session}.png"
    fi
    rm -rf "$session_dir"
}
trap end_session EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# Starts Xvfb on a free display (it picks one itself) and exports DISPLAY.
# -noreset: a server that resets when its last client leaves refuses
# connections for a moment, which a test opening the next one would hit.
start_xvfb() {
    if ! command -v Xvfb >/dev/null 2>&1; then
        echo "Xvfb is not installed: skipping"
        exit 77
    fi
    Xvfb -displayfd 3 -screen 0 "${screen_width}x${screen_height}x24" -nolisten tcp -noreset \
        3>"$session_dir/display" >"$session_dir/xvfb.log" 2>&1 &
    session_pids+=($!)
    poll_until "$patience_ms" test -s "$session_dir/display" ||
        fail "Xvfb did not start: $(cat "$session_dir/xvfb.log")"
    DISPLAY=":$(tr -d '\n' <"$session_dir/display")"
    export DISPLAY
}

# Runs a command in the background for the rest of the session; its pid is
# left in last_pid and its output in $session_dir/NAME.log.
start_background() {
    local name=$1
    shift
    "$@" >"$session_dir/$name.log" 2>&1 &
    last_pid=$!
    session_pids+=("$last_pid")
}

# Runs COMMAND until it succeeds, every 20 ms for up to LIMIT_MS (and never
# past session_deadline); false when it never did. Every wait of the window
# tests comes down to this one.
poll_until() {
    local limit_ms=$1
    shift
    local deadline=$(($(now_ms) + limit_ms))
    ((deadline > session_deadline)) && deadline=$session_deadline
    while :; do
        "$@" && return 0
        (($(now_ms) >= deadline)) && return 1
        sleep 0.02
    done
}

# Prints the id of the first window whose name matches, waiting for it.
wait_for_window() {
    poll_until "$patience_ms" window_named "$1" && echo "$found_window"
}

window_named() {
    found_window=$(xdotool search --name "$1" 2>/dev/null | head -n 1)
    [[ -n $found_window ]]
}

# Waits up to LIMIT_MS for process PID (a child of this shell) to end; true
# when it did, with its status in exit_status and the time it took in
# exit_ms.
wait_for_exit() {
    local pid=$1 limit_ms=$2 started
    started=$(now_ms)
    poll_until "$limit_ms" process_ended "$pid" || return 1
    exit_ms=$(($(now_ms) - started))
    wait "$pid"
    exit_status=$?
    return 0
}

process_ended() {
    ! kill -0 "$1" 2>/dev/null
}

# Takes a picture of the whole screen for pixel_at and the other readers
# below; x11_helper names the built window_test_x11.
take_screenshot() {
    "${x11_helper:?x11_helper names window_test_x11}" screenshot "$session_dir/screen.rgb" ||
        fail "could not read the screen"
}

# Prints "R G B" of a pixel of the last screenshot.
pixel_at() {
    local x=$1 y=$2 r g b
    read -r r g b < <(od -An -tu1 -v -j $(((y * screen_width + x) * 3)) -N 3 "$session_dir/screen.rgb")
    echo "$r $g $b"
}

# Prints how many pixels of row Y, from X1 to X2 inclusive, are not "R G B".
pixels_unlike() {
    local y=$1 x1=$2 x2=$3 expected=$4
    od -An -tu1 -v -w3 -j $(((y * screen_width + x1) * 3)) -N $(((x2 - x1 + 1) * 3)) \
        "$session_dir/screen.rgb" | awk -v want="$expected" '{ $1 = $1 } $0 != want { n++ } END { print n + 0 }'
}

# Prints how many pixels of the box X1..X2, Y1..Y2 (inclusive) of the last
# screenshot are "R G B".
pixels_like() {
    local x1=$1 y1=$2 x2=$3 y2=$4 wanted=$5
    od -An -tu1 -v -w3 -j $((y1 * screen_width * 3)) -N $(((y2 - y1 + 1) * screen_width * 3)) \
        "$session_dir/screen.rgb" |
        awk -v width="$screen_width" -v x1="$x1" -v x2="$x2" -v want="$wanted" '
            { x = (NR - 1) % width; $1 = $1 }
            x >= x1 && x <= x2 && $0 == want { n++ }
            END { print n + 0 }'
}

# Prints the x of the first pixel of row Y, from X1 to X2, that is "R G B", or
# -1 when there is none.
first_pixel_like() {
    local y=$1 x1=$2 x2=$3 wanted=$4
    od -An -tu1 -v -w3 -j $(((y * screen_width + x1) * 3)) -N $(((x2 - x1 + 1) * 3)) "$session_dir/screen.rgb" |
        awk -v x1="$x1" -v want="$wanted" '{ $1 = $1 } $0 == want { print x1 + NR - 1; found = 1; exit }
            END { if (!found) print -1 }'
}

# True when pixel X,Y of the last screenshot is "R G B".
pixel_is() {
    [[ $(pixel_at "$1" "$2") == "$3" ]]
}

# Takes screenshots until COMMAND succeeds on one, for up to LIMIT_MS; false
# when it never did (the last screenshot is then the one it failed on). The
# moment of success is kept in screen_seen_ms.
screen_seen_ms=0
wait_until() {
    local limit_ms=$1
    shift
    poll_until "$limit_ms" on_new_screenshot "$@" || return 1
    screen_seen_ms=$(now_ms)
}

on_new_screenshot() {
    take_screenshot
    "$@"
}

# Takes screenshots for DURATION_MS; false as soon as COMMAND fails on one.
# For what must not happen: a slow machine lets less happen in the time, so
# it can weaken the check but not make it fail.
holds_for() {
    local duration_ms=$1
    shift
    local deadline=$(($(now_ms) + duration_ms))
    while :; do
        take_screenshot
        "$@" || return 1
        (($(now_ms) >= deadline)) && return 0
        sleep 0.05
    done
}

# Takes screenshots until COMMAND has succeeded on each of them for HOLD_MS
# in a row, for up to LIMIT_MS: for a picture that settles after blinking.
wait_until_steady() {
    local limit_ms=$1 hold_ms=$2
    shift 2
    steady_since=""
    wait_until "$limit_ms" still_holds "$hold_ms" "$@"
}

still_holds() {
    local hold_ms=$1
    shift
    if ! "$@"; then
        steady_since=""
        return 1
    fi
    [[ -n $steady_since ]] || steady_since=$(now_ms)
    (($(now_ms) - steady_since >= hold_ms))
}
