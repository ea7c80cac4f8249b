#!/usr/bin/env bash
# Peak memory and time of the picture command (first frame, `-n 1`) on damaged
# GIFs: the 400 damaged copies of our own GIFs that the picture fuzz test makes,
# and any further files given as arguments. Goal: every run within 0.5 s and
# 64 MB. Run after a release build; prints the largest figures (wall-clock and
# processor time) and fails when the goal is missed.
set -euo pipefail
cd "$(dirname "$0")/.."
cli=build/bin/tapwright-cli
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/gifs"
TAPWRIGHT_PICTURE_FUZZ_OUT="$work/gifs" QT_QPA_PLATFORM=offscreen \
    build/tests/picture_fuzz_test >/dev/null
worst_s=0 worst_cpu=0 worst_kb=0 worst_s_file="" worst_kb_file="" runs=0
for gif in "$work"/gifs/* "$@"; do
    rm -rf "$work/out"
    /usr/bin/time -f "%e %M %U %S" -o "$work/time.txt" "$cli" picture "$gif" -o "$work/out" \
        -n 1 >/dev/null 2>&1 || true
    # The last line: a refused file adds a line about its exit status first.
    read -r s kb user sys < <(tail -1 "$work/time.txt")
    cpu=$(awk -v u="$user" -v k="$sys" 'BEGIN { print u + k }')
    if awk -v a="$cpu" -v b="$worst_cpu" 'BEGIN { exit !(a > b) }'; then worst_cpu=$cpu; fi
    runs=$((runs + 1))
    if awk -v a="$s" -v b="$worst_s" 'BEGIN { exit !(a > b) }'; then
        worst_s=$s worst_s_file=$gif
    fi
    if [ "$kb" -gt "$worst_kb" ]; then worst_kb=$kb worst_kb_file=$gif; fi
done
echo "picture command on $runs damaged GIFs: slowest ${worst_s} s ($(basename "$worst_s_file"); most processor time ${worst_cpu} s), largest peak RSS $((worst_kb / 1024)) MB ($(basename "$worst_kb_file"))"
awk -v s="$worst_s" 'BEGIN { exit !(s <= 0.5) }' && [ "$worst_kb" -le $((64 * 1024)) ]
