#!/usr/bin/env bash
# Checks of the real tarnwick window under a private Xvfb server.
# Usage: tarnwick_window_test.sh CASE TARNWICK WINDOW_TEST_X11 [RECORD_SERVER]
#   first_page  title, drawing area and pixels of the first page
#   escape      Escape ends the program with status 0 within a second
#   close_box   the close box (WM_DELETE_WINDOW) ends it the same way
#   clipboard   with another program owning the clipboard, the program runs,
#               answers keys and leaves the clipboard with its owner; a hung
#               clipboard owner does not hold it up either
#   no_display  without a display it says so in one line and ends with status 1
# Playing a game on the base-8 board, checked by the stones, their markers and
# the move list on the screen:
#   clicks      clicked cells take alternate stones; only each player's newest
#               stone is marked; the move list grows and highlights the newest
#   swap        the Swap caption after the first move turns its stone White
#   keys        Left, Right, Home, End and Delete step and take back
#   play        Play steps through the game, a move every 500 ms
#   pause       Pause stops it before the end
#   size        the Size button switches to base 10 and back, emptying the game
# Getting games in (RECORD_SERVER stands in for the game server):
#   fetch       a click on the number field and seven typed digits fetch the
#               game with the exact three-line request and show it
#   fetch_close closing the window while the fetch waits ends the program
#   paste       a move list copied by another program loads at once
#   bad_server  a TARNWICK_SERVER that is not host:port is refused at start
# The other pages:
#   tabs        each tab shows its page; Escape and the Main tab bring back the
#               board page exactly as it was left
#   help        the About/Help page turns pages with the keys and the arrows,
#               and the "A" button changes the font
set -u -o pipefail

case_name=$1
program=$2
x11_helper=$3
record_server=${4:-}
title="  Tarnwick  (version 1.03)"
session_name=$case_name

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
    [[ $exit_status -eq 0 ]] || fail "the program ended with status $exit_status after $1: $(cat "$session_dir/program.log")"
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

# --- Playing a game -------------------------------------------------------

# Stone-square origins (x y) of the cells the play cases use, on base 8. A
# stone's body shows at (x+5, y+17), its marker at (x+12, y+12).
declare -A cell_origin=([E5]="152 395" [F6]="187 375" [G7]="220 355")
cell_colour="224 188 128"
marker_colour="192 0 0"
highlight_colour="255 128 128"
list_grey="192 192 192"
swap_blue="24 53 232"
swap_caption_box=(118 637 150 652)

# SDL counts a press within 32 px of the last one, within its double-click
# time, as the second press of a double click, which the board ignores; a
# click that close to the previous one waits until that time is over.
last_click_x=-100
last_click_y=-100
last_click_ms=0
click_at() {
    local x=$1 y=$2 dx dy wait_ms
    dx=$((x - last_click_x)) dy=$((y - last_click_y))
    if ((dx * dx <= 32 * 32 && dy * dy <= 32 * 32)); then
        wait_ms=$((last_click_ms + 700 - $(now_ms)))
        ((wait_ms > 0)) && sleep "$(printf '%d.%03d' $((wait_ms / 1000)) $((wait_ms % 1000)))"
    fi
    xdotool mousemove "$x" "$y" click --delay 0 1 || fail "xdotool could not click at $x,$y"
    last_click_x=$x last_click_y=$y last_click_ms=$(now_ms)
}

click_cell() {
    local x y
    read -r x y <<<"${cell_origin[$1]}"
    click_at $((x + 12)) $((y + 12))
}

# Prints what cell NAME shows in the last screenshot: empty, black, white or
# ?(R G B) for anything else, followed by "*" when the marker is on it.
cell_state() {
    local x y body state r g b
    read -r x y <<<"${cell_origin[$1]}"
    body=$(pixel_at $((x + 5)) $((y + 17)))
    read -r r g b <<<"$body"
    if [[ $body == "$cell_colour" ]]; then
        state=empty
    elif ((r < 100 && g < 100 && b < 100)); then
        state=black
    elif ((r > 180 && g > 180 && b > 180)); then
        state=white
    else
        state="?($body)"
    fi
    pixel_is $((x + 12)) $((y + 12)) "$marker_colour" && state+="*"
    echo "$state"
}

# Prints the three cells, e.g. "E5=black F6=white* G7=empty".
position() {
    echo "E5=$(cell_state E5) F6=$(cell_state F6) G7=$(cell_state G7)"
}

position_is() {
    [[ $(position) == "$1" ]]
}

# Waits up to 2 s for the board to show POSITION after WHAT.
expect_position() {
    local expected=$1 what=$2
    wait_until 2000 position_is "$expected" ||
        fail "after $what the board shows '$(position)', not '$expected'"
}

no_stones="E5=empty F6=empty G7=empty"
three_stones="E5=black F6=white* G7=black*"

# Checks the move list of the last screenshot after move K of a game begun
# on this board: the first entry shows text, and the highlight is on the
# newest entry, right of where it was for the move before. Where each
# entry's highlight starts is kept in highlight_x.
highlight_x=()
expect_move_list() {
    local k=$1 first_text lit
    first_text=$(pixels_like 663 263 700 275 "0 0 0")
    ((first_text > 0)) || fail "after move $k the first entry of the move list shows no black text"
    lit=$(first_pixel_like 264 655 1017 "$highlight_colour")
    ((lit >= 0)) || fail "after move $k no entry of the move list is highlighted"
    if ((k == 1)); then
        ((lit == 663)) || fail "after move 1 the highlight starts at x=$lit, not 663"
    else
        ((lit > highlight_x[k - 1])) ||
            fail "after move $k the highlight starts at x=$lit, not right of move $((k - 1))'s (${highlight_x[k - 1]})"
    fi
    highlight_x[k]=$lit
}

# Checks that the last screenshot highlights entry K (0: none) of those
# expect_move_list saw, after WHAT.
expect_highlight_on() {
    local k=$1 what=$2 lit wanted=-1
    ((k > 0)) && wanted=${highlight_x[k]}
    lit=$(first_pixel_like 264 655 1017 "$highlight_colour")
    ((lit == wanted)) || fail "after $what the move list highlight starts at x=$lit, not $wanted"
}

swap_caption_pixels() {
    pixels_like "${swap_caption_box[@]}" "$swap_blue"
}

swap_offered() {
    (($(swap_caption_pixels) > 0))
}

# Clicks E5, F6 and G7 in turn, checking the stones, markers and move list.
play_three_moves() {
    click_cell E5
    expect_position "E5=black* F6=empty G7=empty" "clicking E5"
    expect_move_list 1
    click_cell F6
    expect_position "E5=black* F6=white* G7=empty" "clicking F6"
    expect_move_list 2
    click_cell G7
    expect_position "$three_stones" "clicking G7"
    expect_move_list 3
}

press_and_expect() {
    local key=$1 expected=$2
    press_key "$key"
    expect_position "$expected" "$key"
}

expect_still_running() {
    kill -0 "$program_pid" 2>/dev/null || fail "the program ended: $(cat "$session_dir/program.log")"
}

check_swap() {
    swap_offered && fail "the Swap caption shows before the first move"
    click_cell E5
    wait_until 2000 swap_offered || fail "the Swap caption did not appear after the first move"
    position_is "E5=black* F6=empty G7=empty" || fail "after clicking E5 the board shows '$(position)'"
    expect_move_list 1

    click_at 130 645
    expect_position "E5=white* F6=empty G7=empty" "clicking Swap"
    swap_offered && fail "the Swap caption still shows $(swap_caption_pixels) blue pixels after the swap"
    expect_move_list 2

    # Black's next stone leaves the swapped first stone, now White's, marked.
    click_cell F6
    expect_position "E5=white* F6=black* G7=empty" "clicking F6 after the swap"
    expect_move_list 3
}

check_keys() {
    play_three_moves
    press_and_expect Left "E5=black* F6=white* G7=empty"
    expect_highlight_on 2 Left
    press_and_expect Right "$three_stones"
    expect_highlight_on 3 Right
    press_and_expect Home "$no_stones"
    expect_highlight_on 0 Home
    press_and_expect End "$three_stones"
    expect_highlight_on 3 End
    press_and_expect Delete "E5=black* F6=white* G7=empty"
    # The list is rebuilt without the third entry.
    expect_highlight_on 2 Delete
    (($(pixels_like 663 263 700 275 "0 0 0") > 0)) || fail "after Delete the first entry of the move list is gone"
    (($(pixels_like 745 260 1010 276 "$list_grey") == (1010 - 745 + 1) * 17)) ||
        fail "after Delete the move list still shows something right of x=745"
    press_key Right
    holds_for 500 position_is "E5=black* F6=white* G7=empty" ||
        fail "after Delete, Right brought back '$(position)'"
}

# All three stones back; notes whether a part of the game was seen first.
saw_part=0
game_played_through() {
    local shown
    shown=$(position)
    [[ $shown == "$three_stones" ]] && return 0
    [[ $shown == "E5=black* F6=empty G7=empty" || $shown == "E5=black* F6=white* G7=empty" ]] && saw_part=1
    return 1
}

first_stone_shown() {
    [[ $(cell_state E5) == black* ]]
}

check_play() {
    play_three_moves
    press_and_expect Home "$no_stones"
    local clicked elapsed
    clicked=$(now_ms)
    click_at 100 708
    wait_until 2500 game_played_through || fail "2.5 s after Play the board shows '$(position)'"
    elapsed=$(($(now_ms) - clicked))
    # Two delays of 500 ms lie between the first move and the third.
    ((elapsed >= 950)) || fail "Play showed the whole game after $elapsed ms"
    ((saw_part)) || fail "Play showed the whole game at once"
    # Playback over, the keys act again.
    press_and_expect Home "$no_stones"
}

# Pause, clicked as soon as the first stone is back, is read at the end of
# that move's delay; the game stops there, short of its last move.
check_pause() {
    play_three_moves
    press_and_expect Home "$no_stones"
    click_at 100 708
    wait_until 1000 first_stone_shown || fail "1 s after Play the board shows '$(position)'"
    click_at 135 708
    sleep 0.6
    take_screenshot
    local paused
    paused=$(position)
    [[ $paused == "E5=black* F6=empty G7=empty" || $paused == "E5=black* F6=white* G7=empty" ]] ||
        fail "after Pause the board shows '$paused'"
    holds_for 1500 position_is "$paused" || fail "after Pause the board went on from '$paused' to '$(position)'"
}

on_base_10() {
    pixel_is 314 8 "$cell_colour"
}

empty_base_8() {
    ! on_base_10 && position_is "$no_stones"
}

check_size() {
    on_base_10 && fail "(314,8) shows the cell colour on base 8"
    click_cell E5
    expect_position "E5=black* F6=empty G7=empty" "clicking E5"
    click_at 41 640
    wait_until 2000 on_base_10 || fail "after clicking Size (314,8) is $(pixel_at 314 8), not the cell colour"
    (($(pixels_like 663 263 700 275 "0 0 0") == 0)) || fail "on base 10 the move list still shows the first move"
    click_at 41 650
    wait_until 2000 empty_base_8 ||
        fail "after clicking Size again (314,8) is $(pixel_at 314 8) and the board shows '$(position)'"
    (($(pixels_like 663 263 700 275 "0 0 0") == 0)) || fail "back on base 8 the move list shows a move"
    # The new board takes moves as a new game.
    click_cell E5
    expect_position "E5=black* F6=empty G7=empty" "clicking E5 on the new board"
    expect_move_list 1
}

# --- Getting games in ------------------------------------------------------

# The game the fetch and paste cases load: E5, F6, G7 as Black, White, Black.
fetched_record='(;FF[4]EV[hav.null]PB[Ann]PW[Bob]SZ[8]RU[LG]RE[B]GC[ game #1234567]SO[http://www.littlegolem.com];W[E5];B[F6];W[G7])'
expected_request=$'GET /servlet/sgf/1234567/game.txt HTTP/1.1\r\nHost: www.littlegolem.net\r\n\r\n'

# Starts the stand-in server with ARG (a record or --silent) and points the
# program at it.
start_record_server() {
    [[ -x $record_server ]] || fail "no record server given"
    start_background server "$record_server" "$session_dir/requests" "$1"
    local tries
    for ((tries = 0; tries < 100; tries++)); do
        [[ -s $session_dir/server.log ]] && break
        sleep 0.05
    done
    local port
    port=$(head -n 1 "$session_dir/server.log")
    [[ $port =~ ^[0-9]+$ ]] || fail "the record server did not start: $(cat "$session_dir/server.log")"
    export TARNWICK_SERVER="127.0.0.1:$port"
}

type_game_number() {
    click_at 100 66
    xdotool windowfocus --sync "$window" && xdotool type --delay 30 "$1" || fail "xdotool could not type $1"
}

check_fetch() {
    start_record_server "$fetched_record"
    start_program
    type_game_number 1234567
    expect_position "$three_stones" "fetching game 1234567"
    printf '%s' "$expected_request" >"$session_dir/expected_request"
    cmp -s "$session_dir/requests" "$session_dir/expected_request" ||
        fail "the server got the request $(od -c "$session_dir/requests" | head -n 8)"
    (($(pixels_like 663 263 700 275 "0 0 0") > 0)) || fail "the move list of the fetched game is empty"
}

check_fetch_close() {
    start_record_server --silent
    start_program
    type_game_number 1234567
    wait_until 2000 test -s "$session_dir/requests" || fail "the program sent no request"
    "$x11_helper" close "$window" || fail "could not send WM_DELETE_WINDOW"
    expect_prompt_clean_exit "the close box during the fetch"
}

check_paste() {
    printf '%s' "1.E5 2.F6 3.G7" | xclip -selection clipboard -quiet >/dev/null 2>&1 &
    session_pids+=($!)
    expect_position "$three_stones" "copying the move list 1.E5 2.F6 3.G7"
    (($(pixels_like 663 263 700 275 "0 0 0") > 0)) || fail "the move list of the pasted game is empty"
}

# --- The other pages --------------------------------------------------------

panel_colour="251 254 198"

# The screen's drawing area (the window sits at the top left), as a file.
save_screen() {
    take_screenshot
    convert -size "${screen_width}x${screen_height}" -depth 8 "rgb:$session_dir/screen.rgb" \
        -crop 1024x741+0+0 "rgb:$session_dir/$1.rgb" || fail "could not keep the screen as $1"
}

same_screen() {
    take_screenshot
    convert -size "${screen_width}x${screen_height}" -depth 8 "rgb:$session_dir/screen.rgb" \
        -crop 1024x741+0+0 "rgb:$session_dir/now.rgb" && cmp -s "$session_dir/now.rgb" "$session_dir/$1.rgb"
}

different_screen() {
    ! same_screen "$1"
}

on_panel_page() {
    pixel_is 500 400 "$panel_colour" && pixel_is 990 400 "255 255 255"
}

check_tabs() {
    play_three_moves
    press_key Left
    expect_position "E5=black* F6=white* G7=empty" "Left"
    save_screen board
    local tab_x
    for tab_x in 770 860 955; do
        click_at "$tab_x" 12
        wait_until 2000 on_panel_page || fail "the tab at x $tab_x shows no page panel: (500,400) is $(pixel_at 500 400)"
        click_at 690 12
        wait_until 2000 same_screen board || fail "after the tab at x $tab_x and back, the board page differs"
        click_at "$tab_x" 12
        wait_until 2000 on_panel_page || fail "the tab at x $tab_x shows no page panel the second time"
        press_key Escape
        wait_until 2000 same_screen board || fail "after the tab at x $tab_x and Escape, the board page differs"
    done
    # The position still steps on.
    press_key Right
    expect_position "$three_stones" "Right after the round trips"
}

check_help() {
    click_at 955 12
    wait_until 2000 on_panel_page || fail "About/Help shows no page panel"
    (($(pixels_like 62 100 900 640 "0 0 0") > 500)) || fail "the help page shows little or no text"
    save_screen page1
    press_key Next
    wait_until 2000 different_screen page1 || fail "Page Down did not turn the page"
    press_key Prior
    wait_until 2000 same_screen page1 || fail "Page Up did not come back to the first page"
    click_at 950 697
    wait_until 2000 different_screen page1 || fail "the next-page arrow did not turn the page"
    click_at 910 697
    wait_until 2000 same_screen page1 || fail "the previous-page arrow did not come back"
    click_at 70 697
    wait_until 2000 different_screen page1 || fail "the font button did not change the page"
    press_key Escape
    wait_until 2000 pixel_is 700 120 "255 255 128" || fail "Escape did not bring back the board page"
}

case $case_name in
bad_server)
    TARNWICK_SERVER=nonsense timeout 5 "$program" >"$session_dir/out.log" 2>"$session_dir/err.log"
    status=$?
    [[ $status -eq 2 ]] || fail "with TARNWICK_SERVER=nonsense the status is $status, not 2"
    grep -q "TARNWICK_SERVER" "$session_dir/err.log" || fail "no word of TARNWICK_SERVER: $(cat "$session_dir/err.log")"
    ;;
tabs | help)
    start_program
    "check_$case_name"
    expect_still_running
    ;;
fetch | fetch_close | paste)
    [[ $case_name == paste ]] && start_program
    "check_$case_name"
    [[ $case_name == fetch_close ]] || expect_still_running
    ;;
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
clicks)
    start_program
    play_three_moves
    expect_still_running
    ;;
swap | keys | play | pause | size)
    start_program
    "check_$case_name"
    expect_still_running
    ;;
*)
    fail "unknown case '$case_name'"
    ;;
esac
echo "PASS: $case_name"
