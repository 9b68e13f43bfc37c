#!/usr/bin/env bash
# Runs every fuzz target of a build for a while and fails on any crash.
#
#   tools/fuzz.sh BUILD_DIR SECONDS
#
# BUILD_DIR is a build configured with clang, -DTARNWICK_FUZZ=ON and
# -DTARNWICK_SANITIZE=ON and already built (this script builds nothing); the
# targets are in BUILD_DIR/bin. Each runs for SECONDS on a copy of its seed
# corpus from fuzz/corpus/, so the inputs it finds never land in the
# repository. A crash leaves its input and log in the printed work folder.
set -euo pipefail

if [ $# -ne 2 ] || ! [[ $2 =~ ^[1-9][0-9]*$ ]]; then
    echo "usage: $0 BUILD_DIR SECONDS" >&2
    exit 2
fi
if [ ! -d "$1" ]; then
    echo "no build folder $1" >&2
    exit 2
fi
build=$(cd "$1" && pwd)
seconds=$2
source_dir=$(cd "$(dirname "$0")/.." && pwd)
targets=(record_fuzz clipboard_fuzz documentation_fuzz reply_fuzz havannah_fuzz record_tree_fuzz gtp_fuzz)

for target in "${targets[@]}"; do
    if [ ! -x "$build/bin/$target" ]; then
        echo "$build/bin/$target is missing: configure with -DTARNWICK_FUZZ=ON and build first" >&2
        exit 2
    fi
done

work=$(mktemp -d "${TMPDIR:-/tmp}/tarnwick-fuzz.XXXXXX")
echo "Fuzzing ${#targets[@]} targets for $seconds s each; work folder $work"
# fontconfig keeps its configuration until exit: not a leak of ours.
export LSAN_OPTIONS="suppressions=$source_dir/tools/lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
export UBSAN_OPTIONS="print_stacktrace=1${UBSAN_OPTIONS:+:$UBSAN_OPTIONS}"

failed=()
for target in "${targets[@]}"; do
    corpus="$work/$target/corpus"
    mkdir -p "$corpus" "$work/$target/artifacts"
    cp -R "$source_dir/fuzz/corpus/$target/." "$corpus/"
    log="$work/$target/log"
    status=0
    "$build/bin/$target" -max_total_time="$seconds" -print_final_stats=1 \
        -artifact_prefix="$work/$target/artifacts/" "$corpus" >"$log" 2>&1 || status=$?
    executed=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
    if [ "$status" -ne 0 ]; then
        echo "FAILED $target (exit $status); log $log, input(s):"
        ls "$work/$target/artifacts"
        grep -E '^(==[0-9]+== ?ERROR|SUMMARY|fuzz: broken rule|.*runtime error)' "$log" | head -n 5 || true
        failed+=("$target")
    else
        echo "ok     $target: ${executed:-?} inputs in $seconds s"
    fi
done

if [ ${#failed[@]} -ne 0 ]; then
    echo "Crashes in: ${failed[*]} (work folder $work kept)"
    exit 1
fi
rm -rf "$work"
