#!/bin/sh
# tarnwick --review on one record, into a fresh folder: status 0, the table
# (a header and one line a move) and the reviewed record with its review.
# Usage: review_command_test.sh TARNWICK RECORD
set -u
program=$1
record=$2
folder=$(mktemp -d) || exit 1
trap 'rm -rf "$folder"' EXIT
name=$(basename "$record" .sgf)
moves=$(grep -o ';[BW]\[[A-Za-z]' "$record" | grep -vci ';[BW]\[r')

"$program" --review "$record" --playouts 100 --threads 1 --output "$folder" >"$folder/table.tsv" 2>"$folder/errors.txt"
status=$?
fail() { echo "review_command: $1" >&2; cat "$folder/errors.txt" >&2; exit 1; }
[ "$status" -eq 0 ] || fail "exit status $status, not 0"
[ -s "$folder/$name.reviewed.sgf" ] || fail "no $name.reviewed.sgf"
grep -q 'TRV\[tarnwick-review 2\]TRB\[100 playouts a position\]' "$folder/$name.reviewed.sgf" || fail "no review in the record"
lines=$(wc -l <"$folder/table.tsv")
[ "$lines" -eq $((moves + 1)) ] || fail "$lines table lines for $moves moves"
[ ! -s "$folder/errors.txt" ] || fail "something on standard error"
exit 0
