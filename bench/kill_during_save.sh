#!/usr/bin/env bash
# Kills a process with SIGKILL at random moments while it saves a 100 MB theme, and counts how
# often the target is still a complete theme and how many files are left beside it.
#
#   bench/kill_during_save.sh [BUILD_DIR] [KILLS] [SEED]
#
# BUILD_DIR is a Release build with the benchmarks (default: build-bench, made when missing);
# KILLS is the number of kills (default 50); SEED seeds the random moments (default 1).
# bench/save_loop loads the theme once and then saves it over and over, so every kill lands in a
# save (writing, flushing, linking or renaming) or between two; the target is the folder's only
# file before each kill and holds the bytes a complete save writes.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build-bench}
kills=${2:-50}
RANDOM=${3:-1}

if [[ ! -x $build/bench/reader_bench || ! -x $build/bench/save_loop ]]; then
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTINTWELL_TESTS=OFF >/dev/null
    cmake --build "$build" --target reader_bench save_loop >/dev/null
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/kill-during-save.XXXXXX")
pid=""
# An interrupted run leaves no save loop behind writing 100 MB over and over.
cleanup() {
    if [[ -n $pid ]]; then
        kill -9 "$pid" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT
mkdir "$work/out"
target=$work/out/theme.kmtf

# About 100 MB of Car & Zumo styles, and the bytes a complete save of it writes.
"$build/bench/reader_bench" --generate car 670000 "$work/in.kmtf"
"$build/bench/save_loop" "$work/in.kmtf" "$work/expected.kmtf" 3 >"$work/calibrate"
save_ms=$(awk '/^saved/ { t = $2 } END { print t }' "$work/calibrate")
size=$(stat -c %s "$work/expected.kmtf")

intact=0
left=0
largest=0
for ((i = 0; i < kills; i++)); do
    cp "$work/expected.kmtf" "$target"
    "$build/bench/save_loop" "$work/in.kmtf" "$target" >"$work/log" 2>&1 &
    pid=$!
    until grep -q '^ready' "$work/log" 2>/dev/null; do
        if ! kill -0 "$pid" 2>/dev/null && ! grep -q '^ready' "$work/log"; then
            echo "save_loop ended before it was ready:" >&2
            cat "$work/log" >&2
            exit 1
        fi
        sleep 0.01
    done
    # A moment anywhere in the first two saves.
    sleep "$(awk -v r="$RANDOM" -v ms="$save_ms" 'BEGIN { printf "%.3f", 2 * ms * r / 32768 / 1000 }')"
    kill -9 "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    pid=""
    if cmp -s "$target" "$work/expected.kmtf"; then
        intact=$((intact + 1))
    fi
    while IFS= read -r -d '' extra; do
        left=$((left + 1))
        bytes=$(stat -c %s "$extra")
        ((bytes > largest)) && largest=$bytes
        rm -f "$extra"
    done < <(find "$work/out" -mindepth 1 ! -path "$target" -print0)
done

printf 'theme %.1f MB, one save %s ms, %d kills: %d intact, %d files left (largest %d bytes)\n' \
    "$(awk -v b="$size" 'BEGIN { print b / 1e6 }')" "$save_ms" "$kills" "$intact" "$left" "$largest"
