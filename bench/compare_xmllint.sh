#!/usr/bin/env bash
# Times `tintwell --check` against `xmllint --noout` on the same generated ~10 MB theme of each
# kind in four shapes (CR LF, LF, one line, attributes on lines of their own), whole process,
# alternating the two commands, and prints the medians and their ratio; then
# the peak memory of `tintwell --check`, `tintwell --dump` and `xmllint --noout` on each theme.
#
#   bench/compare_xmllint.sh [BUILD_DIR] [RUNS]
#
# BUILD_DIR is a Release build with the benchmarks (default: build-bench, made when missing);
# RUNS is the number of timed runs of each command (default 11), after one untimed run each.
# Needs bash (its `time` keyword, millisecond resolution), xmllint (libxml2-utils), sort and awk;
# the memory figures need GNU time (/usr/bin/time, package time) and are left out without it.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build-bench}
runs=${2:-11}

if [[ ! -x $build/bench/reader_bench || ! -x $build/src/app/tintwell ]]; then
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTINTWELL_TESTS=OFF >/dev/null
    cmake --build "$build" --target tintwell reader_bench >/dev/null
fi
command -v xmllint >/dev/null || { echo "missing: xmllint (apt-get install libxml2-utils)" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Style counts that give about 10 MB of each kind.
"$build/bench/reader_bench" --generate car 67000 "$work/car.kmtf"
"$build/bench/reader_bench" --generate sport 72000 "$work/sport.kmtf"

# Each kind in four shapes: lines ending in CR LF, in LF alone, the whole theme on one line, and
# the attributes of every style and colour on lines of their own (as hand-formatted files have
# them). The Sport & Fitness generator writes its styles on one line; its CR LF shape puts each
# style on a line of its own.
perl -pe 's{</style>}{</style>\r\n}g' "$work/sport.kmtf" >"$work/sport-crlf.kmtf"
cp "$work/car.kmtf" "$work/car-crlf.kmtf"
for kind in car sport; do
    perl -pe 's/\r\n/\n/g' "$work/$kind-crlf.kmtf" >"$work/$kind-lf.kmtf"
    perl -pe 's/[\r\n]//g' "$work/$kind-crlf.kmtf" >"$work/$kind-oneline.kmtf"
    perl -pe 's{ +(scale|border|bg_width|fg_width|night)=}{\r\n    $1=}gi' \
        "$work/$kind-crlf.kmtf" >"$work/$kind-attributes.kmtf"
done
shapes="crlf lf oneline attributes"

# Prints "cpu wall" in seconds (cpu = user + system) for one run of the command; its output is
# discarded.
one_run() {
    local TIMEFORMAT='%3U %3S %3R'
    { time "$@" >/dev/null 2>&1; } 2>"$work/time" || true
    awk '{ printf "%.3f %.3f\n", $1 + $2, $3 }' "$work/time"
}

median() {
    sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

printf '%-18s %6s %12s %12s %14s %14s %10s %10s\n' "kind, shape" MB "check cpu s" "xmllint cpu" \
    "check wall s" "xmllint wall" "cpu ratio" "wall ratio"
for kind in car sport; do
    for shape in $shapes; do
        file=$work/$kind-$shape.kmtf
        # Both must take the file as it is: a reference that stops at an error measures nothing.
        xmllint --noout "$file" || { echo "xmllint rejects $kind-$shape" >&2; exit 1; }
        one_run "$build/src/app/tintwell" --check "$file" >/dev/null
        : >"$work/a"
        : >"$work/b"
        for ((i = 0; i < runs; i++)); do
            one_run "$build/src/app/tintwell" --check "$file" >>"$work/a"
            one_run xmllint --noout "$file" >>"$work/b"
        done
        a_cpu=$(cut -d' ' -f1 "$work/a" | median)
        a_wall=$(cut -d' ' -f2 "$work/a" | median)
        b_cpu=$(cut -d' ' -f1 "$work/b" | median)
        b_wall=$(cut -d' ' -f2 "$work/b" | median)
        size=$(awk -v b="$(stat -c %s "$file")" 'BEGIN { printf "%.1f", b / 1e6 }')
        printf '%-18s %6s %12s %12s %14s %14s %10.2f %10.2f\n' "$kind, $shape" "$size" "$a_cpu" \
            "$b_cpu" "$a_wall" "$b_wall" "$(awk -v a="$a_cpu" -v b="$b_cpu" 'BEGIN { print a / b }')" \
            "$(awk -v a="$a_wall" -v b="$b_wall" 'BEGIN { print a / b }')"
    done
done

# Peak resident memory (maximum RSS) of one run, in MB, and that of a process that reads nothing,
# so the figure above an empty process can be set against the theme's size.
if [[ -x /usr/bin/time ]]; then
    peak() {
        /usr/bin/time -f %M -o "$work/peak" "$@" >/dev/null 2>&1 || true
        tail -n 1 "$work/peak" | awk '{ printf "%.1f", $1 / 1024 }'
    }
    empty=$(peak "$build/src/app/tintwell" --version)
    printf '\n%-6s %10s %14s %14s %14s   (MB, peak; an empty tintwell: %s)\n' kind MB "check" "dump" \
        "xmllint" "$empty"
    for kind in car sport; do
        file=$work/$kind-crlf.kmtf
        size=$(awk -v b="$(stat -c %s "$file")" 'BEGIN { printf "%.1f", b / 1e6 }')
        printf '%-6s %10s %14s %14s %14s\n' "$kind" "$size" \
            "$(peak "$build/src/app/tintwell" --check "$file")" \
            "$(peak "$build/src/app/tintwell" --dump "$file")" "$(peak xmllint --noout "$file")"
    done
fi
