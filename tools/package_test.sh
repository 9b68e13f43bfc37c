#!/usr/bin/env bash
# Checks the Debian package built in BUILD with lintian (any error or warning
# fails), installs it with apt, as a user would on a fresh Debian 12 machine,
# and checks the installed program: its files in
# the freedesktop places, --version, and under Xvfb a game file opened from
# another folder, drawn with the installed pictures, with nothing printed on
# the terminal.
# Usage: tools/package_test.sh BUILD
set -euo pipefail
build=$(cd "$1" && pwd)
cd "$(dirname "$0")/.."
repository=$(pwd)

packages=("$build"/tarnwick_*.deb)
[[ -f ${packages[0]} ]] || { echo "no package in $build" >&2; exit 1; }
lintian_status=0
report=$(lintian --fail-on error,warning "${packages[0]}" 2>&1) || lintian_status=$?
[[ -z $report ]] || printf '%s\n' "$report"
[[ $lintian_status -eq 0 ]] || { echo "FAIL: lintian reports an error or a warning" >&2; exit 1; }
sudo=$([[ $(id -u) == 0 ]] || echo sudo)
$sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${packages[0]}" >/dev/null

for file in /usr/bin/tarnwick /usr/bin/tarnwick-gtp /usr/share/applications/tarnwick.desktop \
    /usr/share/metainfo/net.tarnwick.Tarnwick.metainfo.xml /usr/share/man/man1/tarnwick.1.gz \
    /usr/share/man/man1/tarnwick-gtp.1.gz /usr/share/doc/tarnwick/copyright /usr/share/doc/tarnwick/changelog.Debian.gz \
    /usr/share/icons/hicolor/scalable/apps/tarnwick.svg /usr/share/tarnwick/tk-documentation.txt \
    /usr/share/tarnwick/tk-board-base-08.bmp; do
    [[ -f $file ]] || { echo "FAIL: the package did not install $file" >&2; exit 1; }
done
/usr/bin/tarnwick --version | grep -qx 'tarnwick [0-9.]*' || { echo "FAIL: --version" >&2; exit 1; }

x11_helper=$build/bin/window_test_x11
session_name=package
source tests/window/xvfb_session.sh
start_xvfb
cd "$session_dir"
start_background program /usr/bin/tarnwick "$repository/testdata/lg-records/1009695.sgf"
pid=$last_pid
window=$(wait_for_window Tarnwick) || fail "no window appeared: $(cat "$session_dir/program.log")"
# The C1 button's face comes from the installed board picture; the move
# list shows the game's moves.
wait_until 5000 pixel_is 41 591 "192 192 192" || fail "the board picture is missing: (41,591) is $(pixel_at 41 591)"
(($(pixels_like 663 263 700 275 "0 0 0") > 0)) || fail "the game named on the command line is not shown"
xdotool windowfocus --sync "$window" key Escape
wait_for_exit "$pid" 2000 || fail "the installed program did not end on Escape"
[[ $exit_status -eq 0 ]] || fail "the installed program ended with status $exit_status"
[[ ! -s $session_dir/program.log ]] || fail "output on the terminal: $(cat "$session_dir/program.log")"
echo "PASS: the package installs and runs"
