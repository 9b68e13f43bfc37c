#!/usr/bin/env bash
# The pictures of the README and the software-centre metadata: the built
# program under Xvfb on real records, each picture the window's 1024 x 741.
#   board-win.png   a game won with a ring, at its last move
#   analysis.png    the engine's analysis of a position in the middle of a game
#   review.png      a record reviewed by tarnwick --review, at its last move
#   load-game.png   the Load Game page over a database of every record
# Usage: tools/screenshots.sh [BUILD [FOLDER]]   (build and docs by default)
# Exit status 77 when Xvfb is not installed.
set -u -o pipefail
repository=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$repository/build}" && pwd)
out=${2:-$repository/docs}
mkdir -p "$out" && out=$(cd "$out" && pwd)
program=$build/bin/tarnwick
x11_helper=$build/bin/window_test_x11
records=$repository/testdata/lg-records
session_name=screenshots
for built in "$program" "$x11_helper"; do
    [[ -x $built ]] || { echo "screenshots: $built is not built" >&2; exit 1; }
done

source "$repository/tests/window/xvfb_session.sh"
# Nothing of the user's own: the games database, the kept game and saved
# files all live in the session's folder.
export XDG_DATA_HOME=$session_dir/data XDG_STATE_HOME=$session_dir/state XDG_DOCUMENTS_DIR=$session_dir
unset TARNWICK_DATABASE TARNWICK_SERVER TARNWICK_THREADS
start_xvfb

# Starts the program with ARGS and waits for its first page.
open_window() {
    start_background program "$program" "$@"
    program_pid=$last_pid
    window=$(wait_for_window Tarnwick) || fail "no window appeared: $(cat "$session_dir/program.log")"
    # The C1 button's face: the board page is drawn.
    wait_until "$patience_ms" pixel_is 41 591 "192 192 192" || fail "the board page was not drawn"
}

press() {
    xdotool windowfocus --sync "$window" key "$@" || fail "xdotool could not press $*"
}

# Writes the window as NAME.png, without time stamps, and ends the program.
shoot() {
    local name=$1 X Y
    eval "$(xdotool getwindowgeometry --shell "$window")"
    take_screenshot
    convert -size "${screen_width}x${screen_height}" -depth 8 "rgb:$session_dir/screen.rgb" \
        -crop "1024x741+$X+$Y" +repage -strip -define png:exclude-chunk=date,time "png:$out/$name.png" ||
        fail "could not write $out/$name.png"
    kill "$program_pid" 2>/dev/null
    wait "$program_pid" 2>/dev/null
    echo "wrote $out/$name.png"
}

open_window "$records/1010924.sgf"
press End
sleep 0.5
shoot board-win

open_window "$records/1009692.sgf"
press Home $(printf 'Right %.0s' {1..30}) a
sleep 2
shoot analysis

mkdir -p "$session_dir/review"
"$program" --review "$records/1010429.sgf" --playouts 2000 --threads 1 --output "$session_dir/review" \
    >/dev/null 2>&1 || fail "tarnwick --review failed"
open_window "$session_dir/review/1010429.reviewed.sgf"
press End
sleep 0.5
shoot review

"$program" --import "$records" --database "$session_dir/games.sqlite" >/dev/null 2>&1
[[ -s $session_dir/games.sqlite ]] ||
    fail "tarnwick --import failed"
# Named from the session's folder, the database's path shows short.
cd "$session_dir" || fail "cannot enter $session_dir"
open_window --database games.sqlite
xdotool mousemove --window "$window" 770 12 click 1 || fail "could not click the Load Game tab"
sleep 1
shoot load-game
