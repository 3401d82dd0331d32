#!/usr/bin/env bash
# Whole-process CPU time (user + system) of `tintwell --colours FILE --near` against
# `tintwell --check FILE` on generated Car & Zumo themes of 40 000 and 100 000 styles, with
# 40 009 and 100 008 distinct colours (about 0.4 and 2.5 million pairs closer than CIEDE2000 2):
# medians of RUNS paired runs, the two commands alternating, after one untimed run each.
#
#   bench/colours_near_time.sh [BUILD_DIR] [RUNS]
#
# BUILD_DIR is a Release build with the benchmarks (default: build-bench). Needs bash (its `time`
# keyword, millisecond resolution), awk and sort.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build-bench}
runs=${2:-9}
tintwell=$build/src/app/tintwell

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# CPU seconds of one run.
cpu() {
    local TIMEFORMAT='%3U %3S'
    { time "$@" >/dev/null 2>&1; } 2>"$work/time" || true
    awk '{ print $1 + $2 }' "$work/time"
}
median() {
    sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'
}

printf '%-8s %8s %8s %12s %8s\n' styles colours check "colours --near" ratio
for styles in 40000 100000; do
    theme=$work/car-$styles.kmtf
    "$build/bench/reader_bench" --generate car "$styles" "$theme"
    colours=$("$tintwell" --colours "$theme" | tail -n +2 | wc -l)
    cpu "$tintwell" --check "$theme" >/dev/null
    cpu "$tintwell" --colours "$theme" --near >/dev/null
    : >"$work/check"
    : >"$work/near"
    for ((i = 0; i < runs; i++)); do
        cpu "$tintwell" --check "$theme" >>"$work/check"
        cpu "$tintwell" --colours "$theme" --near >>"$work/near"
    done
    check=$(median <"$work/check")
    near=$(median <"$work/near")
    printf '%-8s %8s %7.3fs %11.3fs %8.1f\n' "$styles" "$colours" "$check" "$near" \
        "$(awk -v n="$near" -v c="$check" 'BEGIN { print n / c }')"
done
