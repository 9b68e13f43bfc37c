#!/usr/bin/env bash
# Checks of the real tarnwick window under a private Xvfb server.
# Usage: tarnwick_window_test.sh CASE TARNWICK WINDOW_TEST_X11
#   first_page  title, drawing area and pixels of the first page
#   escape      Escape ends the program with status 0 within a second
#   close_box   the close box (WM_DELETE_WINDOW) ends it the same way
#   clipboard   with another program owning the clipboard, the program runs,
#               answers keys and leaves the clipboard with its owner; a hung
#               clipboard owner does not hold it up either
#   no_display  without a display it says so in one line and ends with status 1
set -u -o pipefail

case_name=$1
program=$2
x11_helper=$3
title="  Tarnwick  (version 1.03)"

source "$(dirname "${BASH_SOURCE[0]}")/xvfb_session.sh"

if [[ $case_name == no_display ]]; then
    env -u DISPLAY -u WAYLAND_DISPLAY -u XDG_RUNTIME_DIR -u SDL_VIDEODRIVER \
        timeout 5 "$program" >"$session_dir/out.log" 2>"$session_dir/err.log"
    status=$?
    [[ $status -eq 1 ]] || fail "without a display the status is $status, not 1"
    [[ $(wc -l <"$session_dir/err.log") -eq 1 ]] || fail "expected one line on stderr, got:"$'\n'"$(cat "$session_dir/err.log")"
    [[ ! -s $session_dir/out.log ]] || fail "unexpected output: $(cat "$session_dir/out.log")"
    echo "PASS: $case_name ($(cat "$session_dir/err.log"))"
    exit 0
fi

start_xvfb

# Starts the program and waits until its first page is on the screen.
start_program() {
    start_background program "$program"
    program_pid=$last_pid
    window=$(wait_for_window "Tarnwick") || fail "no window appeared; output: $(cat "$session_dir/program.log")"
    local tries
    for ((tries = 0; tries < 100; tries++)); do
        take_screenshot
        [[ $(pixel_at 700 120) == "255 255 128" ]] && return 0
        sleep 0.05
    done
    fail "the first page was not drawn; (700,120) is $(pixel_at 700 120)"
}

# Expects the program to end with status 0 within a second of now.
expect_prompt_clean_exit() {
    wait_for_exit "$program_pid" 1000 || fail "the program still runs a second after $1"
    [[ $exit_status -eq 0 ]] || fail "the program ended with status $exit_status after $1"
}

press_key() {
    xdotool windowfocus --sync "$window" && xdotool key "$1" || fail "xdotool could not press $1"
}

check_first_page() {
    local info
    info=$("$x11_helper" describe "$window") || fail "could not read the window's properties"
    for expected in "name=$title" "wm_name=$title" "position=0,0" "size=1024x741" \
        "min_size=1024x741" "max_size=1024x741"; do
        grep -qxF "$expected" <<<"$info" || fail "expected '$expected'; the window has:"$'\n'"$info"
    done

    local stray
    stray=$(pixels_unlike 1 1 1022 "0 0 0")
    [[ $stray -eq 0 ]] || fail "the frame line at row 1 has $stray pixels that are not black"
    [[ $(pixel_at 690 5) == "255 255 255" ]] || fail "the Main tab is $(pixel_at 690 5), not white"
    [[ $(pixel_at 730 5) == "192 192 192" ]] || fail "the next tab is $(pixel_at 730 5), not grey"
    [[ $(pixel_at 700 200) == "192 192 192" ]] || fail "(700,200) is $(pixel_at 700 200), not grey"

    # A window that was covered must be repainted from the last frame.
    xdotool windowunmap --sync "$window" && xdotool windowmap --sync "$window" || fail "could not remap the window"
    sleep 0.2
    take_screenshot
    [[ $(pixel_at 700 120) == "255 255 128" ]] || fail "after an expose (700,120) is $(pixel_at 700 120)"

    press_key Escape
    expect_prompt_clean_exit "Escape"
}

check_clipboard() {
    local text="tarnwick clipboard check: h5 i7 swap"
    printf '%s' "$text" | xclip -selection clipboard -quiet >/dev/null 2>&1 &
    session_pids+=($!)
    local owner_pid=$!
    sleep 0.2
    start_program
    sleep 0.3
    kill -0 "$owner_pid" 2>/dev/null || fail "the clipboard owner ended: the program took the clipboard"
    [[ $(xclip -o -selection clipboard) == "$text" ]] || fail "the clipboard no longer holds the owner's text"

    # A new owner that never answers must not hold up the window or the keys.
    start_background hung "$x11_helper" hold-clipboard
    local tries
    for ((tries = 0; tries < 100; tries++)); do
        grep -q ready "$session_dir/hung.log" && break
        sleep 0.05
    done
    grep -q ready "$session_dir/hung.log" || fail "the hung clipboard owner did not start"
    sleep 0.05
    press_key Escape
    expect_prompt_clean_exit "Escape with a hung clipboard owner"
}

case $case_name in
first_page)
    start_program
    check_first_page
    ;;
escape)
    start_program
    press_key Escape
    expect_prompt_clean_exit "Escape"
    ;;
close_box)
    start_program
    "$x11_helper" close "$window" || fail "could not send WM_DELETE_WINDOW"
    expect_prompt_clean_exit "the close box"
    ;;
clipboard)
    check_clipboard
    ;;
*)
    fail "unknown case '$case_name'"
    ;;
esac
echo "PASS: $case_name"
