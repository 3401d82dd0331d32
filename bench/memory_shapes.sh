#!/usr/bin/env bash
# Peak memory of `tintwell --check` and `tintwell --dump` on ~10 MB themes of unusual shapes,
# above that of a process that reads nothing, and that as a multiple of the file's size.
#
#   bench/memory_shapes.sh [BUILD_DIR]
#
# BUILD_DIR is a Release build with the benchmarks (default: build-bench, made when missing).
# Needs bash, GNU time (/usr/bin/time, package time), awk, head and tr.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build-bench}

if [[ ! -x $build/bench/reader_bench || ! -x $build/src/app/tintwell ]]; then
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTINTWELL_TESTS=OFF >/dev/null
    cmake --build "$build" --target tintwell reader_bench >/dev/null
fi
[[ -x /usr/bin/time ]] || { echo "missing: /usr/bin/time (apt-get install time)" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
tintwell=$build/src/app/tintwell
head='<METADATA><TITLE>T</TITLE></METADATA><COLOR>'
style='<STYLE field = "MAP_WATER" scale="1" >\r\n <COLOR>\r\n<PRIMARY day = "#112233"/>\r\n </COLOR >\r\n</STYLE>\r\n'

# Prints the text N times.
repeat() {
    awk -v n="$1" -v t="$2" 'BEGIN { for (i = 0; i < n; i++) printf "%s", t }'
}

"$build/bench/reader_bench" --generate car 67000 "$work/car.kmtf"
"$build/bench/reader_bench" --generate sport 72000 "$work/sport.kmtf"
tr -d '\r\n' <"$work/car.kmtf" >"$work/one-line.kmtf"
tr -d '\n' <"$work/car.kmtf" >"$work/cr-only.kmtf"
{
    printf '%s<PRESENTATION ID="' "$head"
    head -c 20000000 /dev/zero | tr '\0' N
    printf '" >\r\n<STYLELIST>\r\n'
    for ((i = 0; i < 50; i++)); do printf "$style"; done
} >"$work/long-name.kmtf"
{
    printf '%s<PRESENTATION ID="A">\r\n' "$head"
    repeat 1700000 '<STYLE'
} >"$work/bare-styles.kmtf"
{
    printf '%s' "$head"
    repeat 780000 '<PRESENTATION'
} >"$work/bare-presentations.kmtf"
{
    printf '%s<PRESENTATION ID="A">\r\n' "$head"
    repeat 600000 '<STYLE FIELD="A">'
} >"$work/tiny-styles.kmtf"

peak_kb() {
    /usr/bin/time -f %M -o "$work/peak" "$@" >/dev/null 2>&1 || true
    tail -n 1 "$work/peak"
}
empty=$(peak_kb "$tintwell" --version)
printf '%-20s %8s %18s %18s   (MiB above an empty process of %.1f MiB)\n' shape MB "check (x size)" \
    "dump (x size)" "$(awk -v k="$empty" 'BEGIN { print k / 1024 }')"
for shape in car sport one-line cr-only long-name bare-styles bare-presentations tiny-styles; do
    file=$work/$shape.kmtf
    bytes=$(stat -c %s "$file")
    row="$(printf '%-20s %8.1f' "$shape" "$(awk -v b="$bytes" 'BEGIN { print b / 1e6 }')")"
    for command in --check --dump; do
        kb=$(peak_kb "$tintwell" "$command" "$file")
        row+="$(awk -v k="$kb" -v e="$empty" -v b="$bytes" \
            'BEGIN { printf " %10.1f (%4.1fx)", (k - e) / 1024, (k - e) * 1024 / b }')"
    done
    echo "$row"
done
