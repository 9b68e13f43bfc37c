#!/bin/sh
# tarnwick --import on a folder of real records, a move list and a file that
# holds no game, into a fresh database named by TARNWICK_DATABASE: the summary, the
# refused file named, status 1; the same records again add nothing, status 0;
# a file that is no database is refused and left as it was.
# Usage: import_command_test.sh TARNWICK RECORD...
set -u
program=$1
shift
folder=$(mktemp -d) || exit 1
trap 'rm -rf "$folder"' EXIT
mkdir -p "$folder/records/deeper"
cp "$1" "$folder/records/"
shift
cp "$@" "$folder/records/deeper/"
printf '1.D4 2.swap 3.F6 4.E5\n' >"$folder/records/deeper/list.txt"
count=$(($# + 2))
echo "no game here" >"$folder/records/notes.txt"
export TARNWICK_DATABASE="$folder/data/games.sqlite"

fail() { echo "import_command: $1" >&2; cat "$folder/out.txt" "$folder/errors.txt" >&2; exit 1; }
"$program" --import "$folder/records" >"$folder/out.txt" 2>"$folder/errors.txt"
status=$?
[ "$status" -eq 1 ] || fail "exit status $status with a refused file, not 1"
grep -q "^$count added, 0 already there, 1 refused, from $((count + 1)) files, into $TARNWICK_DATABASE\$" "$folder/out.txt" ||
    fail "wrong summary"
grep -q 'notes.txt": holds no game record or move list' "$folder/errors.txt" || fail "the refused file is not named"

rm "$folder/records/notes.txt"
"$program" --import "$folder/records" >"$folder/out.txt" 2>"$folder/errors.txt"
status=$?
[ "$status" -eq 0 ] || fail "exit status $status on the second import, not 0"
grep -q "^0 added, $count already there, 0 refused" "$folder/out.txt" || fail "the second import added games"
[ ! -s "$folder/errors.txt" ] || fail "something on standard error"

printf 'not a database at all' >"$folder/other.sqlite"
"$program" --import "$folder/records" --database "$folder/other.sqlite" >"$folder/out.txt" 2>"$folder/errors.txt"
status=$?
[ "$status" -eq 1 ] || fail "exit status $status for a file that is no database, not 1"
grep -q 'is not a Tarnwick games database' "$folder/errors.txt" || fail "the file that is no database is not named"
[ "$(cat "$folder/other.sqlite")" = 'not a database at all' ] || fail "the file that is no database was changed"
exit 0
