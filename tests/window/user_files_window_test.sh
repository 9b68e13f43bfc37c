#!/usr/bin/env bash
# The user's games and the window's size, in the real window under a private
# Xvfb server.
# Usage: user_files_window_test.sh CASE TARNWICK WINDOW_TEST_X11 RECORDS_DIR WINDOW_TEST_CELLS RECORD_SERVER
#   options   --help and --version answer on stdout without a window; an
#             unknown option is refused in one line on stderr
#   open_arg  a record named on the command line is shown at once, with
#             nothing on the terminal; Ctrl+C puts its moves on the clipboard
#             for other programs; Ctrl+S saves it in XDG_DOCUMENTS_DIR, and
#             the saved file, opened the same way, shows the same screen
#   bad_arg   a missing file: one line on stderr naming it, and the window
#             opens as it does without an argument; text that holds no game
#             beeps, and on a machine without sound that prints nothing
#   number_arg  a game number on the command line is fetched from the game
#             server (RECORD_SERVER stands in for it) and shown
#   settings  a choice on the Options page is written at once to
#             $XDG_CONFIG_HOME/tarnwick/settings.ini and shown again after a
#             restart
#   scale     the window opens at the picture's size; resized, the picture
#             is scaled to fit (1.5 and 2), centred on grey, and clicked
#             cells land where they are drawn; F11 keeps the window working
#             (full screen itself needs a window manager, which only turns it
#             on where one runs)
set -u -o pipefail

case_name=$1
program=$2
x11_helper=$3
records=$4
cell_helper=${5:-}
record_server=${6:-}
session_name=files_$case_name

source "$(dirname "${BASH_SOURCE[0]}")/xvfb_session.sh"
# Room for the picture at twice its size.
screen_width=2200
screen_height=1600

if [[ $case_name == options ]]; then
    "$program" --help >"$session_dir/out" 2>"$session_dir/err" || fail "--help ended with status $?"
    grep -q '^Usage: tarnwick \[FILE | NUMBER\]' "$session_dir/out" || fail "--help printed: $(cat "$session_dir/out")"
    "$program" --version >"$session_dir/out" 2>>"$session_dir/err" || fail "--version ended with status $?"
    grep -qx 'tarnwick [0-9.]*' "$session_dir/out" || fail "--version printed: $(cat "$session_dir/out")"
    [[ ! -s $session_dir/err ]] || fail "unexpected output on stderr: $(cat "$session_dir/err")"
    "$program" --bogus >"$session_dir/out" 2>"$session_dir/err"
    [[ $? -eq 2 && $(wc -l <"$session_dir/err") -eq 1 ]] || fail "--bogus: $(cat "$session_dir/err")"
    echo "PASS: $case_name"
    exit 0
fi

start_xvfb
documents=$session_dir/documents
mkdir -p "$documents"

# Starts the program with the arguments given and waits until the game
# header band of its first page is on the screen, in today's colours or in
# those $players_band names.
start_with() {
    start_background program env XDG_DOCUMENTS_DIR="$documents" "$program" "$@"
    program_pid=$last_pid
    window=$(wait_for_window "Tarnwick") || fail "no window appeared; output: $(cat "$session_dir/program.log")"
    wait_until "$patience_ms" pixel_is 1005 120 "${players_band:-255 255 128}" || fail "the first page was not drawn"
}

press_key() {
    xdotool windowfocus --sync "$window" && xdotool key "$1" || fail "xdotool could not press $1"
}

quit_program() {
    press_key Escape
    wait_for_exit "$program_pid" "$prompt_ms" || fail "the program still runs $((prompt_ms / 1000)) s after Escape"
    [[ $exit_status -eq 0 ]] || fail "the program ended with status $exit_status"
}

clipboard_is() {
    [[ $(xclip -o -selection clipboard 2>/dev/null) == "$1" ]]
}

same_screen() {
    cmp -s "$session_dir/screen.rgb" "$session_dir/$1.rgb"
}

not_pixel_is() {
    ! pixel_is "$@"
}

fills_screen() {
    "$x11_helper" describe "$window" | grep -qx "size=${screen_width}x$screen_height"
}

# The move list beside the board has black entry text (on the last screenshot).
list_shown() {
    (($(pixels_like 663 263 700 275 "0 0 0") > 0))
}

case $case_name in
settings)
    config=$XDG_CONFIG_HOME/tarnwick/settings.ini
    for run in first again; do
        # The dark colours, chosen in the first run, draw the board page at
        # the next start.
        [[ $run == first ]] || players_band="70 66 30"
        start_with
        xdotool mousemove 860 12 click 1 || fail "could not click the Options tab"
        # The preview's ground, round the board's cells.
        wait_until "$patience_ms" pixel_is 700 250 "$([[ $run == first ]] && echo "247 243 233" || echo "40 42 48")" ||
            fail "the Options page ($run) shows $(pixel_at 700 250) in the preview"
        if [[ $run == first ]]; then
            [[ ! -e $config ]] || fail "a settings file before any change"
            xdotool mousemove 525 90 click 1 || fail "could not click"
            poll_until "$patience_ms" grep -qx "board.theme = dark" "$config" || fail "the file holds: $(cat "$config" 2>&1)"
        fi
        press_key Escape
        quit_program
    done
    [[ ! -s $session_dir/program.log ]] || fail "output on the terminal: $(cat "$session_dir/program.log")"
    ;;
open_arg)
    start_with "$records/1009695.sgf"
    wait_until "$patience_ms" list_shown || fail "the game named on the command line is not shown"
    cp "$session_dir/screen.rgb" "$session_dir/opened.rgb"

    press_key ctrl+c
    poll_until "$patience_ms" bash -c '[[ $(xclip -o -selection clipboard 2>/dev/null) == "1.F10 2.H14 3.J11"* ]]' ||
        fail "Ctrl+C: the clipboard holds '$(xclip -o -selection clipboard 2>/dev/null | head -c 80)'"
    press_key ctrl+s
    poll_until "$patience_ms" test -s "$documents/tarnwick-1009695.sgf" || fail "Ctrl+S saved nothing: $(ls "$documents")"
    quit_program
    [[ ! -s $session_dir/program.log ]] || fail "output on the terminal: $(cat "$session_dir/program.log")"

    start_with "$documents/tarnwick-1009695.sgf"
    wait_until "$patience_ms" list_shown || fail "the saved game is not shown"
    wait_until "$patience_ms" same_screen opened || fail "the saved game looks different"
    quit_program
    ;;
bad_arg)
    start_with "$session_dir/no such game.sgf"
    printf '%s' "no game in here" | xclip -selection clipboard -quiet >/dev/null 2>&1 &
    session_pids+=($!)
    poll_until "$patience_ms" clipboard_is "no game in here" || fail "xclip did not take the clipboard"
    press_key ctrl+v
    # Time for the beep, which nothing on the screen shows, to print
    # something if it did. A machine too loaded to try it meanwhile weakens
    # the check but cannot make it fail.
    sleep 0.5
    quit_program
    [[ $(wc -l <"$session_dir/program.log") -eq 1 ]] &&
        grep -q 'cannot open "[^"]*/no such game.sgf": No such file or directory' "$session_dir/program.log" ||
        fail "expected one line naming the file, got: $(cat "$session_dir/program.log")"
    ;;
number_arg)
    start_background server "$record_server" "$session_dir/requests" "$(cat "$records/1009695.sgf")"
    poll_until "$patience_ms" test -s "$session_dir/server.log" || fail "the record server did not start"
    export TARNWICK_SERVER="127.0.0.1:$(head -n 1 "$session_dir/server.log")"
    start_with 1009695
    wait_until "$patience_ms" list_shown || fail "game 1009695 named on the command line is not shown"
    # The server writes down what it got every 20 ms, maybe after its reply.
    poll_until "$patience_ms" grep -q "^GET /servlet/sgf/1009695/game.txt HTTP/1.1" "$session_dir/requests" ||
        fail "the server got: $(head -c 200 "$session_dir/requests")"
    quit_program
    [[ ! -s $session_dir/program.log ]] || fail "output on the terminal: $(cat "$session_dir/program.log")"
    ;;
scale)
    start_with
    "$x11_helper" describe "$window" | grep -qx "size=1024x741" || fail "the first size is not 1024x741"
    moves=""
    # WIDTH HEIGHT SCALE X Y CELL: the window's size, the picture's scale and
    # place in it, and a cell to click.
    for setting in "1536 1200 1.5 0 44 E5" "2148 1482 2 50 0 F6"; do
        read -r width height scale left top cell <<<"$setting"
        xdotool windowsize --sync "$window" "$width" "$height" || fail "could not resize the window"
        at() { awk -v v="$1" -v s="$scale" -v o="$2" 'BEGIN { printf "%d", o + v * s }'; }
        wait_until "$patience_ms" pixel_is "$(at 1005 "$left")" "$(at 120 "$top")" "255 255 128" ||
            fail "at scale $scale the players' band is not at $(at 1005 "$left"),$(at 120 "$top")"
        pixel_is "$(at 500 "$left")" "$(at 745 "$top")" "72 72 72" || pixel_is "$(at -10 "$left")" 10 "72 72 72" ||
            fail "at scale $scale the picture is not surrounded by grey"
        read -r _ x y < <("$cell_helper" 8 "$cell")
        # Where the stone's body will show, and what shows there before.
        body=("$(at $((x + 5)) "$left")" "$(at $((y + 17)) "$top")")
        before_click=$(pixel_at "${body[@]}")
        xdotool mousemove "$(at $((x + 12)) "$left")" "$(at $((y + 12)) "$top")" click 1 || fail "could not click"
        moves="$moves${moves:+ }$(( ${#moves} == 0 ? 1 : 2 )).$cell"
        # Ctrl+C only once the click has been taken: the stone shows.
        wait_until "$patience_ms" not_pixel_is "${body[@]}" "$before_click" ||
            fail "at scale $scale the click on $cell put no stone there"
        press_key ctrl+c
        poll_until "$patience_ms" clipboard_is "$moves" ||
            fail "at scale $scale the clicks gave '$(xclip -o -selection clipboard 2>/dev/null)', not '$moves'"
    done
    press_key F11
    if xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; then
        poll_until "$patience_ms" fills_screen || fail "F11 did not fill the screen"
    else
        # Without a window manager F11 changes nothing to wait for: time for
        # the program to read it before the next key takes its place.
        sleep 0.5
    fi
    press_key Home
    press_key ctrl+c
    poll_until "$patience_ms" clipboard_is "$moves" || fail "after F11 the program does not answer"
    quit_program
    ;;
*)
    fail "unknown case '$case_name'"
    ;;
esac
echo "PASS: $case_name"
