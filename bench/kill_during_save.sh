#!/usr/bin/env bash
# Kills a process with SIGKILL at random moments while it saves a 100 MB theme, and counts how
# often the target is still a complete theme and how many files are left beside it.
#
#   bench/kill_during_save.sh [BUILD_DIR] [KILLS] [SEED] [hard-link]
#
# BUILD_DIR is a Release build with the benchmarks (default: build-bench, made when missing);
# KILLS is the number of kills (default 50); SEED seeds the random moments (default 1).
# With `hard-link` the target has a second name in another folder and holds an older, shorter
# theme before each kill, so saving writes into it in place: after each kill the target must be
# the old theme or the new one whole, or the whole new text must be beside it, and the second
# name must still be the target's.
# bench/save_loop loads the theme once and then saves it over and over, so every kill lands in a
# save (writing, flushing, linking or renaming) or between two; the target is the folder's only
# file before each kill and holds the bytes a complete save writes.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build-bench}
kills=${2:-50}
RANDOM=${3:-1}
mode=${4:-rename}

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
mkdir "$work/out" "$work/links"
target=$work/out/theme.kmtf

# About 100 MB of Car & Zumo styles, and the bytes a complete save of it writes.
"$build/bench/reader_bench" --generate car 670000 "$work/in.kmtf"
"$build/bench/save_loop" "$work/in.kmtf" "$work/expected.kmtf" 3 >"$work/calibrate"
save_ms=$(awk '/^saved/ { t = $2 } END { print t }' "$work/calibrate")
size=$(stat -c %s "$work/expected.kmtf")
if [[ $mode == hard-link ]]; then
    head -c $((size * 3 / 5)) "$work/expected.kmtf" >"$work/old.kmtf"
fi

intact=0
old_whole=0
kept_beside=0
lost=0
links_broken=0
left=0
largest=0
for ((i = 0; i < kills; i++)); do
    if [[ $mode == hard-link ]]; then
        rm -f "$target" "$work/links/theme.kmtf"
        cp "$work/old.kmtf" "$target"
        ln "$target" "$work/links/theme.kmtf"
    else
        cp "$work/expected.kmtf" "$target"
    fi
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
    whole_beside=0
    if cmp -s "$target" "$work/expected.kmtf"; then
        intact=$((intact + 1))
    elif [[ $mode == hard-link ]] && cmp -s "$target" "$work/old.kmtf"; then
        old_whole=$((old_whole + 1))
    else
        whole_beside=1
    fi
    if [[ $mode == hard-link && $(stat -c %i "$target") != $(stat -c %i "$work/links/theme.kmtf") ]]; then
        links_broken=$((links_broken + 1))
    fi
    found_whole=0
    while IFS= read -r -d '' extra; do
        left=$((left + 1))
        bytes=$(stat -c %s "$extra")
        ((bytes > largest)) && largest=$bytes
        cmp -s "$extra" "$work/expected.kmtf" && found_whole=1
        rm -f "$extra"
    done < <(find "$work/out" -mindepth 1 ! -path "$target" -print0)
    if ((whole_beside)); then
        if ((found_whole)); then
            kept_beside=$((kept_beside + 1))
        else
            lost=$((lost + 1))
        fi
    fi
done

printf 'theme %.1f MB, one save %s ms, %d kills: %d intact, %d files left (largest %d bytes)\n' \
    "$(awk -v b="$size" 'BEGIN { print b / 1e6 }')" "$save_ms" "$kills" "$intact" "$left" "$largest"
if [[ $mode == hard-link ]]; then
    printf 'in place: %d old theme whole, %d new text whole beside a partly written target, %d lost; hard link broken %d times\n' \
        "$old_whole" "$kept_beside" "$lost" "$links_broken"
    ((lost == 0 && links_broken == 0))
fi
