#!/usr/bin/env bash
# Checks of the real tarnwick window under a private Xvfb server.
# Usage: tarnwick_window_test.sh CASE TARNWICK WINDOW_TEST_X11 [RECORD_SERVER [WINDOW_TEST_CELLS]]
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
# More of what a user does, end to end:
#   speed       during automatic play + makes moves come faster, - slower
#   take_back   Delete on an earlier move drops it and the moves after it
#   cell_names  C1 writes the name in every empty cell; a second click clears them
#   paste_iyt   an It's Your Turn list lands on base 8 (a8 b9 h1: A1, B3, H1)
#   paste_lg10  a Little Golem list with a base-10 cell switches to base 10
#   win         a pasted game won by a bridge shows the blue outline and the
#               panel's line; W hides both and shows them again
#   invalid_game a record of another base flashes "Invalid Game #" and the
#               shown game stays
#   help_pages  every section of About/Help and every page of each shows text
#   reload      Ctrl+V loads the clipboard again after stepping back
#   analysis    on a real record the A key shows the engine's marks within a
#               second and keeps the processor busy; A again takes them away
#               and leaves it idle; the close box during analysis ends the
#               program within a second
# Robustness: the program keeps answering and keeps its game when
#   big_clipboard    the clipboard holds 10 MB of text
#   binary_clipboard the clipboard holds random bytes with NULs
#   stopped_owner    the clipboard's owner is stopped (SIGSTOP) and resumed
#   big_reply, garbage_reply, cut_reply  a fetch gets 8 MB, random bytes, or
#                    half a record; the fetch fails and the game stays
#   silent_wait      while a fetch waits on a silent server the window is
#                    repainted, and the close box ends the program
#   close_entry, close_play  the close box during the number entry and during
#                    automatic play ends the program within a second, status 0
#   broken_data      with a truncated board picture, missing stone pictures
#                    and a truncated guide it starts, draws what it can, quits
#   readonly_dir     started from a current folder it cannot write
#   odd_dir          installed in, and started from, a folder whose name has
#                    spaces and non-ASCII letters
set -u -o pipefail

case_name=$1
program=$2
x11_helper=$3
record_server=${4:-}
# window_test_cells: where the program draws each cell (board/geometry.h).
cell_helper=${5:-}
title="  Tarnwick  (version 1.03)"
session_name=$case_name

source "$(dirname "${BASH_SOURCE[0]}")/xvfb_session.sh"

if [[ $case_name == no_display ]]; then
    env -u DISPLAY -u WAYLAND_DISPLAY -u XDG_RUNTIME_DIR -u SDL_VIDEODRIVER \
        timeout 20 "$program" >"$session_dir/out.log" 2>"$session_dir/err.log"
    status=$?
    [[ $status -eq 1 ]] || fail "without a display the status is $status, not 1"
    [[ $(wc -l <"$session_dir/err.log") -eq 1 ]] || fail "expected one line on stderr, got:"$'\n'"$(cat "$session_dir/err.log")"
    [[ ! -s $session_dir/out.log ]] || fail "unexpected output: $(cat "$session_dir/out.log")"
    echo "PASS: $case_name ($(cat "$session_dir/err.log"))"
    exit 0
fi

start_xvfb

# Starts the program and waits until its first page is on the screen; with
# arguments, runs EXECUTABLE from the current folder DIRECTORY instead.
start_program() {
    local executable=${1:-$program} directory=${2:-.}
    start_background program bash -c 'cd "$1" && exec "$2"' start_program "$directory" "$executable"
    program_pid=$last_pid
    window=$(wait_for_window "Tarnwick") || fail "no window appeared; output: $(cat "$session_dir/program.log")"
    wait_until "$patience_ms" pixel_is 700 120 "255 255 128" ||
        fail "the first page was not drawn; (700,120) is $(pixel_at 700 120)"
}

# Expects the program to end with status 0 promptly from now.
expect_prompt_clean_exit() {
    wait_for_exit "$program_pid" "$prompt_ms" ||
        fail "the program still runs $((prompt_ms / 1000)) s after $1"
    [[ $exit_status -eq 0 ]] || fail "the program ended with status $exit_status after $1: $(cat "$session_dir/program.log")"
    echo "the program ended $exit_ms ms after $1"
}

press_key() {
    xdotool windowfocus --sync "$window" && xdotool key "$1" || fail "xdotool could not press $1"
}

check_first_page() {
    local info
    info=$("$x11_helper" describe "$window") || fail "could not read the window's properties"
    # Resizable down to a quarter of the picture's size, with no largest size.
    for expected in "name=$title" "wm_name=$title" "position=0,0" "size=1024x741" \
        "min_size=256x185"; do
        grep -qxF "$expected" <<<"$info" || fail "expected '$expected'; the window has:"$'\n'"$info"
    done
    ! grep -q "^max_size=" <<<"$info" || fail "the window has a largest size:"$'\n'"$info"

    local stray
    stray=$(pixels_unlike 1 1 1022 "0 0 0")
    [[ $stray -eq 0 ]] || fail "the frame line at row 1 has $stray pixels that are not black"
    [[ $(pixel_at 690 5) == "255 255 255" ]] || fail "the Main tab is $(pixel_at 690 5), not white"
    [[ $(pixel_at 730 5) == "192 192 192" ]] || fail "the next tab is $(pixel_at 730 5), not grey"
    [[ $(pixel_at 700 200) == "192 192 192" ]] || fail "(700,200) is $(pixel_at 700 200), not grey"

    # A window that was covered must be repainted from the last frame.
    xdotool windowunmap --sync "$window" && xdotool windowmap --sync "$window" || fail "could not remap the window"
    wait_until "$patience_ms" pixel_is 700 120 "255 255 128" || fail "after an expose (700,120) is $(pixel_at 700 120)"

    press_key Escape
    expect_prompt_clean_exit "Escape"
}

# True while the clipboard's owner (pid OWNER) runs and hands out TEXT.
clipboard_kept() {
    kill -0 "$1" 2>/dev/null && [[ $(xclip -o -selection clipboard 2>/dev/null) == "$2" ]]
}

check_clipboard() {
    local text="tarnwick clipboard check: h5 i7 swap"
    printf '%s' "$text" | xclip -selection clipboard -quiet >/dev/null 2>&1 &
    session_pids+=($!)
    local owner_pid=$!
    poll_until "$patience_ms" clipboard_kept "$owner_pid" "$text" || fail "xclip did not take the clipboard"
    start_program
    holds_for 1000 clipboard_kept "$owner_pid" "$text" ||
        fail "the clipboard owner ended or lost its text: the program took the clipboard"

    # A new owner that never answers must not hold up the window or the keys:
    # Escape comes while the program waits for the owner's answer.
    start_background hung "$x11_helper" hold-clipboard
    poll_until "$patience_ms" grep -q ready "$session_dir/hung.log" || fail "the hung clipboard owner did not start"
    poll_until "$patience_ms" grep -q asked "$session_dir/hung.log" || fail "the program did not ask the new owner"
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
# time (500 ms), as the second press of a double click, which the board
# ignores; a click that close to the previous one waits until that time is
# over. SDL times a press when its window thread reads it, which a loaded
# machine can put off: the time counts from the click or, when later, from
# the last time a wait saw the screen it was waiting for (by then the
# program had read the click that led to it).
last_click_x=-100
last_click_y=-100
last_click_ms=0
click_at() {
    local x=$1 y=$2 dx dy wait_ms since=$last_click_ms
    dx=$((x - last_click_x)) dy=$((y - last_click_y))
    if ((dx * dx <= 32 * 32 && dy * dy <= 32 * 32)); then
        ((screen_seen_ms > since)) && since=$screen_seen_ms
        wait_ms=$((since + 700 - $(now_ms)))
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

# Waits for the board to show POSITION after WHAT.
expect_position() {
    local expected=$1 what=$2
    wait_until "$patience_ms" position_is "$expected" ||
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
    wait_until "$patience_ms" swap_offered || fail "the Swap caption did not appear after the first move"
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
    wait_until "$patience_ms" game_played_through || fail "after Play the board shows '$(position)'"
    elapsed=$(($(now_ms) - clicked))
    # Two delays of 500 ms lie between the first move and the third.
    ((elapsed >= 950)) || fail "Play showed the whole game after $elapsed ms"
    ((saw_part)) || fail "Play showed the whole game at once"
    # Playback over, the keys act again.
    press_and_expect Home "$no_stones"
}

# The Play button's top edge: white while it is up, grey while automatic
# play holds it down.
play_button_up() {
    pixel_is 100 691 "255 255 255"
}

# Pause, clicked as soon as the first stone is back, stops the game within
# the two delays before its last move, and the Play button comes up. Only a
# Pause that comes within 700 ms of Play's click surely comes within them
# (the first stone shows after that click); one that a loaded machine put
# off longer may rightly find the game played through, and the test plays
# it again.
check_pause() {
    play_three_moves
    local try played pause_ms paused
    for ((try = 1; try <= 3; try++)); do
        press_and_expect Home "$no_stones"
        played=$(now_ms)
        click_at 100 708
        wait_until "$patience_ms" first_stone_shown || fail "after Play the board shows '$(position)'"
        click_at 135 708
        pause_ms=$(($(now_ms) - played))
        wait_until "$patience_ms" play_button_up || fail "the Play button stays down after Pause"
        paused=$(position)
        [[ $paused == "E5=black* F6=empty G7=empty" || $paused == "E5=black* F6=white* G7=empty" ]] && break
        [[ $paused == "$three_stones" ]] && ((pause_ms > 700)) ||
            fail "after Pause, clicked $pause_ms ms after Play, the board shows '$paused'"
        echo "Pause came $pause_ms ms after Play, after the game's end: playing it again"
    done
    ((try <= 3)) || fail "three times Pause came too late to tell"
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
    wait_until "$patience_ms" on_base_10 || fail "after clicking Size (314,8) is $(pixel_at 314 8), not the cell colour"
    (($(pixels_like 663 263 700 275 "0 0 0") == 0)) || fail "on base 10 the move list still shows the first move"
    click_at 41 650
    wait_until "$patience_ms" empty_base_8 ||
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
    poll_until "$patience_ms" test -s "$session_dir/server.log"
    local port
    port=$(head -n 1 "$session_dir/server.log")
    [[ $port =~ ^[0-9]+$ ]] || fail "the record server did not start: $(cat "$session_dir/server.log")"
    export TARNWICK_SERVER="127.0.0.1:$port"
}

# Keys typed before the entry has begun are not part of it: the digits wait
# for the entry's cursor in the number field. The program holds one key at a
# time until it reads it, so each digit but the last (the seventh ends the
# entry) waits until the one before shows in the field.
type_game_number() {
    local number=$1 i shown
    click_at 100 66
    wait_until "$patience_ms" more_than 0 field_dark_pixels || fail "the number field shows no cursor after a click"
    for ((i = 0; i < ${#number}; i++)); do
        shown=$(field_dark_pixels)
        press_key "${number:i:1}"
        if ((i + 1 < ${#number})); then
            wait_until "$patience_ms" more_than "$shown" field_dark_pixels ||
                fail "the digit ${number:i:1} of $number does not show in the number field"
        fi
    done
}

check_fetch() {
    start_record_server "$fetched_record"
    start_program
    type_game_number 1234567
    expect_position "$three_stones" "fetching game 1234567"
    printf '%s' "$expected_request" >"$session_dir/expected_request"
    # The server writes down what it got every 20 ms, maybe after its reply.
    poll_until "$patience_ms" cmp -s "$session_dir/requests" "$session_dir/expected_request" ||
        fail "the server got the request $(od -c "$session_dir/requests" | head -n 8)"
    (($(pixels_like 663 263 700 275 "0 0 0") > 0)) || fail "the move list of the fetched game is empty"
}

check_fetch_close() {
    start_record_server --silent
    start_program
    type_game_number 1234567
    poll_until "$patience_ms" test -s "$session_dir/requests" || fail "the program sent no request"
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

# The screen as a file. Only the window (at the top left) changes on it, so
# whole screens are compared.
save_screen() {
    take_screenshot
    cp "$session_dir/screen.rgb" "$session_dir/$1.rgb" || fail "could not keep the screen as $1"
}

same_screen() {
    take_screenshot
    cmp -s "$session_dir/screen.rgb" "$session_dir/$1.rgb"
}

different_screen() {
    ! same_screen "$1"
}

on_panel_page() {
    pixel_is 44 400 "$panel_colour" && pixel_is 990 400 "255 255 255"
}

check_tabs() {
    play_three_moves
    press_key Left
    expect_position "E5=black* F6=white* G7=empty" "Left"
    save_screen board
    local tab_x
    for tab_x in 770 860 955; do
        click_at "$tab_x" 12
        wait_until "$patience_ms" on_panel_page || fail "the tab at x $tab_x shows no page panel: (44,400) is $(pixel_at 44 400)"
        click_at 690 12
        wait_until "$patience_ms" same_screen board || fail "after the tab at x $tab_x and back, the board page differs"
        click_at "$tab_x" 12
        wait_until "$patience_ms" on_panel_page || fail "the tab at x $tab_x shows no page panel the second time"
        press_key Escape
        wait_until "$patience_ms" same_screen board || fail "after the tab at x $tab_x and Escape, the board page differs"
    done
    # The position still steps on.
    press_key Right
    expect_position "$three_stones" "Right after the round trips"
}

check_help() {
    click_at 955 12
    wait_until "$patience_ms" on_panel_page || fail "About/Help shows no page panel"
    (($(pixels_like 62 100 900 640 "0 0 0") > 500)) || fail "the help page shows little or no text"
    save_screen page1
    press_key Next
    wait_until "$patience_ms" different_screen page1 || fail "Page Down did not turn the page"
    press_key Prior
    wait_until "$patience_ms" same_screen page1 || fail "Page Up did not come back to the first page"
    click_at 950 697
    wait_until "$patience_ms" different_screen page1 || fail "the next-page arrow did not turn the page"
    click_at 910 697
    wait_until "$patience_ms" same_screen page1 || fail "the previous-page arrow did not come back"
    click_at 70 697
    wait_until "$patience_ms" different_screen page1 || fail "the font button did not change the page"
    press_key Escape
    wait_until "$patience_ms" pixel_is 700 120 "255 255 128" || fail "Escape did not bring back the board page"
}

# --- More of what a user does -------------------------------------------------

# Adds the stone-square origins of CELLS on base BASE to cell_origin, from the
# program's own geometry.
load_cells() {
    local base=$1 name x y
    shift
    [[ -x $cell_helper ]] || fail "no cell helper given"
    while read -r name x y; do
        cell_origin[$name]="$x $y"
    done < <("$cell_helper" "$base" "$@" || echo "error")
    local cell
    for cell in "$@"; do
        [[ -n ${cell_origin[$cell]:-} ]] || fail "no origin for $cell on base $base"
    done
}

# Prints "NAME=state ..." for the named cells of the last screenshot.
cells_state() {
    local cell out=()
    for cell in "$@"; do
        out+=("$cell=$(cell_state "$cell")")
    done
    echo "${out[*]}"
}

# True when the last screenshot shows the cells as WANTED ("A1=black B3=white*").
cells_are() {
    local wanted=$1 names=() item
    for item in $wanted; do
        names+=("${item%%=*}")
    done
    [[ $(cells_state "${names[@]}") == "$wanted" ]]
}

# Waits for the cells to show WANTED after WHAT.
expect_cells() {
    local wanted=$1 what=$2 names=() item
    for item in $wanted; do
        names+=("${item%%=*}")
    done
    wait_until "$patience_ms" cells_are "$wanted" || fail "after $what the board shows '$(cells_state "${names[@]}")', not '$wanted'"
}

# True when COMMAND prints a number above N (equal to N), taking a fresh
# screenshot each time it is polled through wait_until.
more_than() {
    local n=$1
    shift
    (($("$@") > n))
}

count_is() {
    local n=$1
    shift
    (($("$@") == n))
}

# Prints how many pixels of the box X1..X2, Y1..Y2 are dark (each channel
# under 100): text, or a black stone.
dark_pixels() {
    local x1=$1 y1=$2 x2=$3 y2=$4
    od -An -tu1 -v -w3 -j $((y1 * screen_width * 3)) -N $(((y2 - y1 + 1) * screen_width * 3)) \
        "$session_dir/screen.rgb" |
        awk -v width="$screen_width" -v x1="$x1" -v x2="$x2" '
            { x = (NR - 1) % width }
            x >= x1 && x <= x2 && $1 < 100 && $2 < 100 && $3 < 100 { n++ }
            END { print n + 0 }'
}

# Dark pixels inside the stone square of an empty cell: its name.
name_pixels() {
    local x y
    read -r x y <<<"${cell_origin[$1]}"
    dark_pixels $((x + 1)) $((y + 1)) $((x + 24)) $((y + 25))
}

# Puts TEXT on the clipboard, owned by an xclip for the rest of the session;
# its pid is left in clip_pid.
copy_text() {
    printf '%s' "$1" | xclip -selection clipboard -quiet >/dev/null 2>&1 &
    clip_pid=$!
    session_pids+=("$clip_pid")
}

# The same from a file, for texts too big or too odd for an argument.
copy_file() {
    xclip -selection clipboard -quiet "$1" >/dev/null 2>&1 &
    clip_pid=$!
    session_pids+=("$clip_pid")
}

# A base-8 game of 24 moves, up columns A, B and C: its cells in order.
long_game_cells=(A1 A2 A3 A4 A5 A6 A7 A8 B1 B2 B3 B4 B5 B6 B7 B8 B9 C1 C2 C3 C4 C5 C6 C7)
long_game() {
    local k list=""
    for ((k = 1; k <= ${#long_game_cells[@]}; k++)); do
        list+="$k.${long_game_cells[k - 1]} "
    done
    echo "${list% }"
}

load_long_game() {
    load_cells 8 "${long_game_cells[@]}"
    copy_text "$(long_game)"
    expect_cells "A1=black C6=black* C7=white*" "copying a 24-move list"
}

# The number of the last move of the long game that the last screenshot
# shows, 0 to 24, while it is played from the empty board (which fills its
# cells in order).
long_game_move() {
    local low=0 high=${#long_game_cells[@]} middle x y
    while ((low < high)); do
        middle=$(((low + high + 1) / 2))
        read -r x y <<<"${cell_origin[${long_game_cells[middle - 1]}]}"
        if pixel_is $((x + 5)) $((y + 17)) "$cell_colour"; then
            high=$((middle - 1))
        else
            low=$middle
        fi
    done
    echo "$low"
}

# The fewest and the most milliseconds a move that the moments of moves A
# and B in check_speed allow, in least and most.
speed_between() {
    least=$(((came_after[$2] - came_by[$1]) / ($2 - $1)))
    most=$(((came_by[$2] - came_after[$1]) / ($2 - $1)))
}

# Automatic play, timed from the screen. Move m is known to have come after
# the start of the last screenshot that did not show it (came_after[m]) and
# before the end of the first one that did (came_by[m]); a slow screenshot
# may show several new moves at once. + is pressed twice early on and -
# twice later, at most one key for each screenshot that shows a new move
# (the program holds one key until it reads it). The program reads keys
# while it waits after a move and applies them from the next move's delay
# on, so a key pressed once move k shows changes the delays from the one
# after move k + 1 at the earliest.
check_speed() {
    load_long_game
    press_and_expect Home "$no_stones"
    local -a came_after=() came_by=() presses=(2:plus 4:plus 12:minus 14:minus)
    local shown=0 move m started ended before deadline press
    before=$(now_ms)
    click_at 100 708
    deadline=$(($(now_ms) + 2 * patience_ms))
    while ((shown < 20)); do
        (($(now_ms) < deadline)) || fail "automatic play showed only $shown moves in $((2 * patience_ms / 1000)) s"
        started=$(now_ms)
        take_screenshot
        ended=$(now_ms)
        move=$(long_game_move)
        for ((m = shown + 1; m <= move; m++)); do
            came_after[m]=$before
            came_by[m]=$ended
        done
        if ((move > shown)); then
            shown=$move
            press=${presses[0]:-}
            if [[ -n $press ]] && ((${press%%:*} <= shown)); then
                xdotool key "${press#*:}" || fail "xdotool could not press ${press#*:}"
                presses=("${presses[@]:1}")
            fi
        fi
        before=$started
    done
    # The delays after moves 1 and 2 are 500 ms; the second + comes by move
    # 7's even on a slow machine, so those after moves 8 to 11 are 125; the
    # second - by move 16's, so those after moves 17 to 19 are 281. Each
    # speed is known within the bounds of the moments it is taken from: the
    # check fails only when no moments within those bounds pass it, so that
    # slow screenshots cannot fail it (a machine slow enough widens the
    # bounds until the check proves little).
    local least most slow_least slow_most fast_least fast_most slower_least slower_most
    speed_between 1 3
    slow_least=$least slow_most=$most
    speed_between 8 12
    fast_least=$least fast_most=$most
    speed_between 17 20
    slower_least=$least slower_most=$most
    local times="" i
    for ((i = 1; i <= 20; i++)); do
        times+=" $i:${came_after[i]}-${came_by[i]}"
    done
    ((slow_most >= 420 && slow_least <= 600)) ||
        fail "at the start moves came $slow_least to $slow_most ms apart, not 500 (moves at:$times)"
    ((fast_least <= 190)) || fail "after + twice moves came $fast_least to $fast_most ms apart, not 125 (moves at:$times)"
    ((slower_most >= fast_least * 16 / 10 && slower_least <= 400)) ||
        fail "after - twice moves came $slower_least to $slower_most ms apart, not 281 (fast was $fast_least to $fast_most; moves at:$times)"
    echo "moves $slow_least-$slow_most, $fast_least-$fast_most, then $slower_least-$slower_most ms apart"
}

# Steps back to move 2 of 3 and takes it back: move 1 stays, the list keeps
# only its first entry; again, and the board is empty and takes a new first move.
check_take_back() {
    play_three_moves
    press_and_expect Left "E5=black* F6=white* G7=empty"
    press_and_expect Delete "E5=black* F6=empty G7=empty"
    expect_highlight_on 1 "Delete on move 2"
    (($(pixels_like 700 260 1010 276 "$list_grey") == (1010 - 700 + 1) * 17)) ||
        fail "after Delete on move 2 the move list still shows entries after the first"
    press_key End
    holds_for 500 position_is "E5=black* F6=empty G7=empty" || fail "after Delete, End brought back '$(position)'"
    press_and_expect Delete "$no_stones"
    expect_highlight_on 0 "Delete on move 1"
    (($(pixels_like 663 263 700 275 "0 0 0") == 0)) || fail "after taking back every move the list shows an entry"
    click_cell G7
    expect_position "E5=empty F6=empty G7=black*" "clicking G7 on the emptied board"
    expect_move_list 1
}

# C1 names the empty cells and not the ones with stones; a second click
# takes the names away again.
check_cell_names() {
    click_cell E5
    expect_position "E5=black* F6=empty G7=empty" "clicking E5"
    take_screenshot
    (($(name_pixels F6) == 0)) || fail "F6 shows $(name_pixels F6) dark pixels before C1"
    click_at 40 578
    wait_until "$patience_ms" more_than 10 name_pixels F6 || fail "after C1 the empty cell F6 shows no name"
    (($(name_pixels G7) > 10)) || fail "after C1 the empty cell G7 shows no name"
    [[ $(cell_state E5) == "black*" ]] || fail "after C1 E5 shows $(cell_state E5)"
    click_at 40 578
    wait_until "$patience_ms" count_is 0 name_pixels F6 || fail "after the second C1 F6 still shows $(name_pixels F6) dark pixels"
    (($(name_pixels G7) == 0)) || fail "after the second C1 G7 still shows a name"
    position_is "E5=black* F6=empty G7=empty" || fail "after two C1 clicks the board shows '$(position)'"
}

check_paste_iyt() {
    load_cells 8 A1 B3 H1 A8 B9
    copy_text "1. a8 b9 2. h1"
    expect_cells "A1=black B3=white* H1=black*" "copying the list 1. a8 b9 2. h1"
    # The letters and numbers are It's Your Turn's, not cell names.
    cells_are "A8=empty B9=empty" || fail "the list put stones on $(cells_state A8 B9)"
    on_base_10 && fail "an It's Your Turn list switched to base 10"
    (($(pixels_like 663 263 700 275 "0 0 0") > 0)) || fail "the move list of the pasted game is empty"
}

check_paste_lg10() {
    load_cells 10 S10 J10 A1
    copy_text "1.S10 2.J10 3.A1"
    wait_until "$patience_ms" on_base_10 || fail "a list with S10 did not switch to base 10"
    expect_cells "S10=black J10=white* A1=black*" "copying the list 1.S10 2.J10 3.A1"
}

# Pixels of the win outline's blue on the board, and dark text pixels of the
# panel's note between the players' band and the game number band.
outline_pixels() {
    take_screenshot
    pixels_like 1 1 650 740 "32 160 255"
}
note_pixels() {
    dark_pixels 654 133 1016 167
}

check_win() {
    copy_text "1.A1 2.O1 3.A2 4.O2 5.A3 6.O3 7.A4 8.O4 9.A5 10.O5 11.A6 12.O6 13.A7 14.O7 15.A8"
    wait_until "$patience_ms" more_than 400 outline_pixels || fail "the bridge along column A is not outlined"
    (($(note_pixels) > 50)) || fail "the panel does not name the win"
    press_key w
    wait_until "$patience_ms" count_is 0 outline_pixels || fail "w leaves $(outline_pixels) outline pixels"
    (($(note_pixels) == 0)) || fail "w leaves the panel's note"
    press_key W
    wait_until "$patience_ms" more_than 400 outline_pixels || fail "W does not bring the outline back"
    press_key Left
    wait_until "$patience_ms" count_is 0 outline_pixels || fail "before the winning move the outline stays"
}

# --- The engine's analysis ----------------------------------------------------

# The first COUNT moves of a record as a Little Golem move list: "1.H3 2.G4 ...".
sgf_moves() {
    grep -o ';[BW]\[[^]]*\]' "$1" | sed 's/^;[BW]\[\(.*\)\]$/\1/' |
        awk -v count="$2" 'NR <= count { printf "%d.%s ", NR, $0 }'
}

# Pixels of the best candidate's disc colour (34 150 60) on the screen,
# counted as byte triples: a full scan with od and awk takes seconds.
best_mark_pixels() {
    take_screenshot
    LC_ALL=C grep -obUaP '\x22\x96\x3c' "$session_dir/screen.rgb" | wc -l
}

# Clock ticks of processor time the program uses in the next second.
cpu_ticks_in_a_second() {
    local before after
    before=$(awk '{ print $14 + $15 }' "/proc/$program_pid/stat")
    sleep 1
    after=$(awk '{ print $14 + $15 }' "/proc/$program_pid/stat")
    echo $((after - before))
}

# Hundredths of a second of processor time that the program asks for in the
# next second: the time its threads run plus the time they wait, ready, for a
# processor, so that the other work of a loaded machine does not make a busy
# program look idle. Where the kernel does not keep the waits, processor
# time alone.
processor_demand_in_a_second() {
    [[ -r /proc/$program_pid/schedstat ]] || {
        cpu_ticks_in_a_second
        return
    }
    local before after
    before=$(threads_demand)
    sleep 1
    after=$(threads_demand)
    # Threads that end meanwhile are left out, not counted as negative.
    awk 'NR == FNR { was[$1] = $2; next } $1 in was { n += $2 - was[$1] } END { printf "%d\n", n / 10000000 }' \
        <(echo "$before") <(echo "$after")
}

# "TID NANOSECONDS" for each thread of the program: time run plus time ready
# and waiting.
threads_demand() {
    local task run waited rest
    for task in /proc/"$program_pid"/task/*; do
        read -r run waited rest 2>/dev/null <"$task/schedstat" && echo "${task##*/} $((run + waited))"
    done
}

check_analysis() {
    local record ticks
    record="$(dirname "${BASH_SOURCE[0]}")/../../testdata/lg-records/1009692.sgf"
    [[ -r $record ]] || fail "the record $record is missing"
    # Thirty moves in, the game is open: its end is a forced win, which the
    # engine proves at once and then rests.
    copy_text "$(sgf_moves "$record" 30)"
    wait_until "$patience_ms" more_than 0 pixels_like 663 263 700 275 "0 0 0" || fail "the record did not load"
    local pressed
    pressed=$(now_ms)
    press_key a
    wait_until "$prompt_ms" more_than 100 best_mark_pixels || fail "no marks $((prompt_ms / 1000)) s after the A key"
    echo "marks $(($(now_ms) - pressed)) ms after the A key"
    (($(dark_pixels 654 225 1016 256) > 50)) || fail "the panel shows no analysis line"
    ticks=$(processor_demand_in_a_second)
    ((ticks >= 20)) || fail "a second of analysis asked for only $ticks hundredths of a second of processor time"
    echo "a second of analysis asked for $ticks hundredths of a second of processor time"
    press_key a
    wait_until "$prompt_ms" count_is 0 best_mark_pixels || fail "the marks stay after the A key again"
    (($(dark_pixels 654 225 1016 256) == 0)) || fail "the analysis line stays"
    # Processor time alone: an idle program's threads also wait for a
    # processor now and then when they wake on a loaded machine.
    ticks=$(cpu_ticks_in_a_second)
    ((ticks <= 5)) || fail "with the analysis stopped a second used $ticks ticks of processor time"
    echo "with the analysis stopped a second used $ticks ticks of processor time"
    press_key A
    wait_until "$prompt_ms" more_than 100 best_mark_pixels || fail "no marks after the A key a third time"
    "$x11_helper" close "$window" || fail "could not send WM_DELETE_WINDOW"
    expect_prompt_clean_exit "the close box during the analysis"
}

invalid_record='(;FF[4]EV[hav.null]PB[Ann]PW[Bob]SZ[12]RU[LG]RE[B]GC[ game #7654321];W[E5];B[F6])'

# The number field, inside its frame.
field_dark_pixels() {
    dark_pixels 49 59 139 77
}

check_invalid_game() {
    start_record_server "$invalid_record"
    start_program
    play_three_moves
    save_screen before
    type_game_number 7654321
    poll_until "$patience_ms" test -s "$session_dir/requests" || fail "the program sent no request"
    wait_until "$patience_ms" more_than 100 field_dark_pixels || fail "no \"Invalid Game #\" in the number field"
    # The message flashes, 150 ms on and 150 ms off, and then stays: shown
    # for half a second without a break, it has stopped flashing. Nothing
    # else changed.
    wait_until_steady "$patience_ms" 500 more_than 100 field_dark_pixels ||
        fail "the \"Invalid Game #\" message did not stay"
    position_is "$three_stones" || fail "after the invalid game the board shows '$(position)'"
    local masked
    for masked in screen before; do
        convert -size "${screen_width}x${screen_height}" -depth 8 "rgb:$session_dir/$masked.rgb" \
            -fill black -draw "rectangle 41,59 155,77" "rgb:$session_dir/$masked.masked" ||
            fail "could not compare the screens"
    done
    cmp -s "$session_dir/screen.masked" "$session_dir/before.masked" ||
        fail "the invalid game changed the window outside the number field"
    press_and_expect Left "E5=black* F6=white* G7=empty"
}

# The section tabs of the About/Help page: prints the middle x of each.
section_tab_middles() {
    od -An -tu1 -v -w3 -j $(((47 * screen_width + 42) * 3)) -N $(((975 - 42) * 3)) "$session_dir/screen.rgb" |
        awk '{ x = 41 + NR } $1 + $2 + $3 == 0 { if (start) print int((start + x) / 2); start = x }'
}

# The open section tab, whose middle is at X, takes the panel's colour.
section_open() {
    pixel_is "$1" 45 "$panel_colour"
}

# The next-page arrow is hidden (on the last page of a section): its place
# shows only the panel's colour.
next_arrow_hidden() {
    (($(pixels_like 933 680 967 716 "$panel_colour") == 35 * 37))
}

check_help_pages() {
    click_at 955 12
    wait_until "$patience_ms" on_panel_page || fail "About/Help shows no page panel"
    local -a tabs
    mapfile -t tabs < <(section_tab_middles)
    ((${#tabs[@]} >= 2)) || fail "the About/Help page shows ${#tabs[@]} section tabs"
    local tab pages total=0 k
    for tab in "${tabs[@]}"; do
        click_at "$tab" 55
        wait_until "$patience_ms" section_open "$tab" || fail "the section tab at x $tab did not open"
        save_screen page
        pages=1
        while :; do
            # Text in the page's top part (a whole-page count is slow in awk).
            (($(pixels_like 62 90 900 200 "0 0 0") > 100)) || fail "page $pages of the section at x $tab shows little text"
            save_screen last
            press_key Next
            if next_arrow_hidden; then
                holds_for 700 same_screen last || fail "Page Down turned the last page of the section at x $tab"
                break
            fi
            wait_until "$patience_ms" different_screen last || fail "Page Down did not turn page $pages of the section at x $tab"
            ((++pages <= 30)) || fail "the section at x $tab has more than 30 pages"
        done
        ((total += pages))
        # Back to the section's first page, a page at a time: the program
        # holds one key until it reads it.
        for ((k = pages; k > 1; k--)); do
            save_screen last
            press_key Prior
            wait_until "$patience_ms" different_screen last || fail "Page Up did not turn back page $k of the section at x $tab"
        done
        wait_until "$patience_ms" same_screen page || fail "Page Up did not bring back the first page of the section at x $tab"
    done
    echo "About/Help: ${#tabs[@]} sections, $total pages"
    press_key Escape
    wait_until "$patience_ms" pixel_is 700 120 "255 255 128" || fail "Escape did not bring back the board page"
}

check_reload() {
    copy_text "1.E5 2.F6 3.G7"
    expect_position "$three_stones" "copying the move list"
    press_and_expect Home "$no_stones"
    press_key ctrl+v
    expect_position "$three_stones" "Ctrl+V at the start of the game"
    press_and_expect Left "E5=black* F6=white* G7=empty"
    press_key ctrl+v
    expect_position "$three_stones" "Ctrl+V one move back"
    press_and_expect Delete "E5=black* F6=white* G7=empty"
    press_key ctrl+v
    expect_position "$three_stones" "Ctrl+V after taking back the last move"
}

# --- Robustness --------------------------------------------------------------

# The window still answers: C1 names an empty cell and takes the name away.
expect_answering() {
    local what=$1
    load_cells 8 D2
    click_at 40 578
    wait_until "$patience_ms" more_than 10 name_pixels D2 || fail "after $what C1 shows no names"
    click_at 40 578
    wait_until "$patience_ms" count_is 0 name_pixels D2 || fail "after $what a second C1 leaves the names"
}

# True when the clipboard has an owner (WANTED yes) or none (no). Only the
# server is asked: a request to the owner would be one more reader of the
# clipboard, which xclip may leave waiting while it hands a big text to
# another.
clipboard_owned() {
    local owner
    owner=$("$x11_helper" clipboard-owner) || return 1
    if [[ $1 == yes ]]; then
        [[ $owner != none ]]
    else
        [[ $owner == none ]]
    fi
}

# Loads E5 and F6 from the clipboard, then hands the clipboard FILE.
hand_clipboard_file() {
    local file=$1
    copy_text "1.E5 2.F6"
    expect_position "E5=black* F6=white* G7=empty" "copying a move list"
    kill "$clip_pid" 2>/dev/null
    poll_until "$patience_ms" clipboard_owned no || fail "the clipboard keeps its owner after it ended"
    copy_file "$file"
    poll_until "$patience_ms" clipboard_owned yes || fail "xclip did not take the clipboard with $file"
    # Time for the program to read the clipboard, which nothing on the screen
    # shows. A machine too loaded to read it meanwhile weakens the check but
    # cannot make it fail.
    sleep 1.5
    expect_still_running
    take_screenshot
    position_is "E5=black* F6=white* G7=empty" || fail "after the clipboard changed the board shows '$(position)'"
    expect_answering "the clipboard changed"
    press_and_expect Left "E5=black* F6=empty G7=empty"
    press_and_expect Right "E5=black* F6=white* G7=empty"
}

check_big_clipboard() {
    # 10 MB of words that are no move list, with a move list's look here and there.
    yes "lorem 7. ipsum 1.E5 dolor x9 sit amet" | head -c 10000000 >"$session_dir/big.txt"
    hand_clipboard_file "$session_dir/big.txt"
    # A reader that gives up on a text half-way leaves an owner like xclip
    # waiting for it for good, and nobody can paste from it any more.
    local handed
    handed=$(timeout 20 xclip -o -selection clipboard | wc -c)
    ((handed == 10000000)) ||
        fail "the clipboard's owner handed over $handed of its 10000000 bytes after the program read it"
}

check_binary_clipboard() {
    head -c 200000 /dev/urandom >"$session_dir/binary.bin"
    printf '1.E5\0002.F6\0003.G7\000\377\376' >>"$session_dir/binary.bin"
    hand_clipboard_file "$session_dir/binary.bin"
}

# A clipboard owner stopped with SIGSTOP: Ctrl+V asks it and gets no answer;
# the window keeps going; resumed, the owner still owns its text.
check_stopped_owner() {
    local text="1.E5 2.F6 3.G7"
    copy_text "$text"
    expect_position "$three_stones" "copying the move list"
    kill -STOP "$clip_pid" || fail "could not stop the clipboard owner"
    press_key ctrl+v
    press_and_expect Left "E5=black* F6=white* G7=empty"
    expect_answering "Ctrl+V to a stopped owner"
    press_and_expect Home "$no_stones"
    expect_still_running
    kill -CONT "$clip_pid"
    [[ $(timeout 20 xclip -o -selection clipboard) == "$text" ]] || fail "the resumed owner lost its text"
    press_key ctrl+v
    expect_position "$three_stones" "Ctrl+V with the owner resumed"
}

# A fetch that fails on a server in MODE: it ends (the number field is
# answered: the typed digits go), the game stays, and the window answers.
check_failed_fetch() {
    start_record_server "$1"
    start_program
    play_three_moves
    type_game_number 1234567
    poll_until "$patience_ms" test -s "$session_dir/requests" || fail "the program sent no request"
    # Steps are taken only once the fetch is over.
    press_key Left
    wait_until "$patience_ms" position_is "E5=black* F6=white* G7=empty" ||
        fail "$((patience_ms / 1000)) s after the fetch began the board shows '$(position)'; Left was not answered"
    expect_still_running
    press_and_expect Right "$three_stones"
    expect_answering "a failed fetch"
}

check_silent_wait() {
    start_record_server --silent
    start_program
    play_three_moves
    type_game_number 1234567
    poll_until "$patience_ms" test -s "$session_dir/requests" || fail "the program sent no request"
    save_screen waiting
    xdotool windowunmap --sync "$window" && xdotool windowmap --sync "$window" || fail "could not remap the window"
    wait_until "$patience_ms" same_screen waiting || fail "the window was not repainted during the fetch"
    position_is "$three_stones" || fail "during the fetch the board shows '$(position)'"
    "$x11_helper" close "$window" || fail "could not send WM_DELETE_WINDOW"
    expect_prompt_clean_exit "the close box while waiting on a silent server"
}

check_close_entry() {
    type_game_number 123
    wait_until "$patience_ms" more_than 10 field_dark_pixels || fail "the typed digits do not show in the number field"
    "$x11_helper" close "$window" || fail "could not send WM_DELETE_WINDOW"
    expect_prompt_clean_exit "the close box during the number entry"
}

check_close_play() {
    load_long_game
    press_and_expect Home "$no_stones"
    click_at 100 708
    wait_until "$patience_ms" cells_are "A1=black* C6=empty" || fail "Play did not start"
    # The close comes in the delay after the second move.
    wait_until "$patience_ms" cells_are "A2=white* C6=empty" || fail "Play did not go on to the second move"
    "$x11_helper" close "$window" || fail "could not send WM_DELETE_WINDOW"
    expect_prompt_clean_exit "the close box during automatic play"
}

# Copies the program and its data files into DIRECTORY.
install_copy() {
    local directory=$1 from
    from=$(dirname "$program")
    mkdir -p "$directory" && cp "$program" "$from"/*.bmp "$from"/tk-documentation.txt "$directory"/ ||
        fail "could not copy the program into $directory"
}

check_broken_data() {
    local copy="$session_dir/broken"
    install_copy "$copy"
    truncate -s 1000 "$copy/tk-board-base-08.bmp"
    rm -f "$copy"/stone-lg-*.bmp
    truncate -s 300 "$copy/tk-documentation.txt"
    start_program "$copy/tarnwick" "$copy"
    # Clicking a cell still adds a move to the list, with or without stones.
    click_at 164 407
    wait_until "$patience_ms" more_than 0 pixels_like 663 263 700 275 "0 0 0" ||
        fail "with the pictures broken a click on E5 adds no move to the list"
    click_at 955 12
    wait_until "$patience_ms" on_panel_page || fail "with the guide truncated About/Help shows no page panel"
    press_key Next
    press_key Escape
    wait_until "$patience_ms" pixel_is 700 120 "255 255 128" || fail "Escape did not bring back the board page"
    press_key Escape
    expect_prompt_clean_exit "Escape with broken data files"
}

# Escape leaves the page shown for the board page, and Escape again ends the
# program. The second waits for the first to be taken: the program holds one
# key until it reads it.
leave_page_and_quit() {
    press_key Escape
    wait_until "$patience_ms" pixel_is 690 5 "255 255 255" || fail "Escape did not bring back the Main tab"
    press_key Escape
    expect_prompt_clean_exit "Escape"
}

# The current folder is read-only (mode 555). Root writes anywhere, so as
# root the program runs as nobody.
check_readonly_dir() {
    local copy="$session_dir/installed" cwd="$session_dir/readonly"
    install_copy "$copy"
    mkdir -p "$cwd"
    chmod 555 "$cwd"
    chmod 755 "$session_dir"
    if [[ $(id -u) -eq 0 ]]; then
        command -v setpriv >/dev/null || fail "setpriv is needed to drop root"
        chmod -R a+rX "$copy"
        cat >"$copy/as_nobody" <<'EOF'
#!/bin/sh
exec setpriv --reuid=nobody --regid=nogroup --clear-groups "$(dirname "$0")/tarnwick"
EOF
        chmod 755 "$copy/as_nobody"
        start_program "$copy/as_nobody" "$cwd"
    else
        start_program "$copy/tarnwick" "$cwd"
    fi
    play_three_moves
    copy_text "1.E5 2.F6"
    expect_position "E5=black* F6=white* G7=empty" "copying a move list"
    click_at 955 12
    wait_until "$patience_ms" on_panel_page || fail "About/Help shows no page panel"
    (($(pixels_like 62 100 900 640 "0 0 0") > 500)) || fail "the guide was not found from a read-only folder"
    leave_page_and_quit
    [[ -z $(ls -A "$cwd") ]] || fail "the program left files in its current folder: $(ls -A "$cwd")"
}

check_odd_dir() {
    local copy="$session_dir/Tarn wick – Övningar 棋譜 'q' \$HOME"
    install_copy "$copy"
    start_program "$copy/tarnwick" "$copy"
    play_three_moves
    click_at 955 12
    wait_until "$patience_ms" on_panel_page || fail "About/Help shows no page panel"
    (($(pixels_like 62 100 900 640 "0 0 0") > 500)) || fail "the guide was not found in $copy"
    leave_page_and_quit
}

case $case_name in
speed | take_back | cell_names | paste_iyt | paste_lg10 | win | help_pages | reload | \
    big_clipboard | binary_clipboard | stopped_owner | close_entry | close_play)
    start_program
    "check_$case_name"
    [[ $case_name == close_* ]] || expect_still_running
    ;;
analysis)
    start_program
    check_analysis
    ;;
invalid_game | silent_wait)
    "check_$case_name"
    ;;
big_reply | garbage_reply | cut_reply)
    declare -A server_mode=([big_reply]=--big [garbage_reply]=--garbage [cut_reply]=--close-mid)
    check_failed_fetch "${server_mode[$case_name]}"
    ;;
broken_data | readonly_dir | odd_dir)
    "check_$case_name"
    ;;
bad_server)
    TARNWICK_SERVER=nonsense timeout 20 "$program" >"$session_dir/out.log" 2>"$session_dir/err.log"
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
