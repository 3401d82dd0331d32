#!/usr/bin/env bash
# Peak memory of `tintwell --check`, `--dump`, `--lint` and `--diff` (each as text and as JSON) on
# ~10 MB themes of unusual shapes, above that of a process that reads nothing, and that as a
# multiple of the file's size; `--diff` compares each theme with a twin whose field names differ,
# so every row is one theme's only and each is a change, and is measured against the larger of
# the two files (the twin).
#
#   bench/memory_shapes.sh [BUILD_DIR] [SHAPE...]
#
# BUILD_DIR is a Release build with the benchmarks (default: build-bench, made when missing).
# Needs bash, GNU time (/usr/bin/time, package time), awk, head and tr.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build-bench}
shift || true

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
{
    printf '%s<PRESENTATION ID="GUIDANCE">\r\n' "$head"
    repeat 200000 '<STYLE FIELD="MAP_WATER_CLR"><PRIMARY DAY="#123456"/></STYLE>'
} >"$work/duplicate-elements.kmtf"
{
    printf '%s<PRESENTATION ID="GUIDANCE">\r\n' "$head"
    awk 'BEGIN { for (i = 0; i < 130000; i++)
        printf "<STYLE FIELD=\"MAP_W%d\"><PRIMARY DAY=\"#%06X\"/></STYLE>\r\n", i, (i * 2654435761) % 16777216 }'
} >"$work/many-colours.kmtf"

# Peak KiB and seconds of one run, as "KIB SECONDS".
peak() {
    /usr/bin/time -f '%M %e' -o "$work/peak" "$@" >/dev/null 2>&1 || true
    tail -n 1 "$work/peak"
}
empty=$(peak "$tintwell" --version | cut -d' ' -f1)
shapes=("$@")
if ((${#shapes[@]} == 0)); then
    shapes=(car sport one-line cr-only long-name bare-styles bare-presentations tiny-styles
        duplicate-elements many-colours)
fi
printf '%-19s %6s' shape MB
for column in check dump lint "lint --json" diff "diff --json"; do
    printf ' %22s' "$column"
done
printf '\n(MiB above an empty process of %.1f MiB, x size, seconds)\n' \
    "$(awk -v k="$empty" 'BEGIN { print k / 1024 }')"
for shape in "${shapes[@]}"; do
    file=$work/$shape.kmtf
    twin=$work/$shape-twin.kmtf
    sed -E 's/(FIELD|field) ?= ?"/&X/g' "$file" >"$twin"
    bytes=$(stat -c %s "$file")
    larger=$(stat -c %s "$twin")
    row="$(printf '%-19s %6.1f' "$shape" "$(awk -v b="$bytes" 'BEGIN { print b / 1e6 }')")"
    for command in --check --dump --lint "--lint --json" --diff "--diff --json"; do
        size=$bytes
        args=("$file")
        if [[ $command == --diff* ]]; then
            size=$larger
            args=("$file" "$twin")
        fi
        read -r kb seconds < <(peak "$tintwell" $command "${args[@]}")
        row+="$(awk -v k="$kb" -v e="$empty" -v b="$size" -v s="$seconds" \
            'BEGIN { printf " %8.1f (%4.1fx) %5.2fs", (k - e) / 1024, (k - e) * 1024 / b, s }')"
    done
    echo "$row"
    rm -f "$twin"
done
