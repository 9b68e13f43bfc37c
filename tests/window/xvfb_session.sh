# Sourced by the window tests: a private Xvfb server for one test, processes
# that are ended with it, and helpers to drive and read back the screen.
# Exit status 77 (skip) when Xvfb is not installed.

session_dir=$(mktemp -d)
# Sanitizer builds: ignore leaks of the window's system libraries.
export LSAN_OPTIONS="suppressions=$(cd "$(dirname "${BASH_SOURCE[0]}")/../../tools" && pwd)/lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"

session_pids=()
screen_width=1280

end_session() {
    local i
    for ((i = ${#session_pids[@]} - 1; i >= 0; i--)); do
        kill "${session_pids[i]}" 2>/dev/null
    done
    wait 2>/dev/null
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
    Xvfb -displayfd 3 -screen 0 "${screen_width}x1024x24" -nolisten tcp -noreset \
        3>"$session_dir/display" >"$session_dir/xvfb.log" 2>&1 &
    session_pids+=($!)
    local tries
    for ((tries = 0; tries < 100; tries++)); do
        [[ -s $session_dir/display ]] && break
        sleep 0.05
    done
    [[ -s $session_dir/display ]] || fail "Xvfb did not start: $(cat "$session_dir/xvfb.log")"
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

# Prints the id of the first window whose name matches, waiting up to 5 s.
wait_for_window() {
    local name=$1 tries id
    for ((tries = 0; tries < 100; tries++)); do
        id=$(xdotool search --name "$name" 2>/dev/null | head -n 1)
        if [[ -n $id ]]; then
            echo "$id"
            return 0
        fi
        sleep 0.05
    done
    return 1
}

# Waits up to LIMIT_MS for process PID (a child of this shell) to end; true
# when it did, with its status in exit_status.
wait_for_exit() {
    local pid=$1 limit_ms=$2 waited=0
    while kill -0 "$pid" 2>/dev/null; do
        ((waited >= limit_ms)) && return 1
        sleep 0.02
        ((waited += 20))
    done
    wait "$pid"
    exit_status=$?
    return 0
}

# Takes a picture of the whole screen for pixel_at.
take_screenshot() {
    xwd -root -silent >"$session_dir/screen.xwd" || fail "xwd could not read the screen"
    convert "$session_dir/screen.xwd" -depth 8 "rgb:$session_dir/screen.rgb" ||
        fail "convert could not read the screenshot"
}

# Prints "R G B" of a pixel of the last screenshot.
pixel_at() {
    local x=$1 y=$2
    od -An -tu1 -v -j $(((y * screen_width + x) * 3)) -N 3 "$session_dir/screen.rgb" | xargs
}

# Prints how many pixels of row Y, from X1 to X2 inclusive, are not "R G B".
pixels_unlike() {
    local y=$1 x1=$2 x2=$3 expected=$4
    od -An -tu1 -v -w3 -j $(((y * screen_width + x1) * 3)) -N $(((x2 - x1 + 1) * 3)) \
        "$session_dir/screen.rgb" | awk -v want="$expected" '{ $1 = $1 } $0 != want { n++ } END { print n + 0 }'
}
