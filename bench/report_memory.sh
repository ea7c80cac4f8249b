#!/usr/bin/env bash
# Peak memory and time of the longest coefficient report from the command line:
# the Kaiser example with a 1 Hz transition width and no ripple allowance designs
# 95,849 taps (1,066 pages). Goal: at most 200 MB and 10 s. Run after a release
# build; prints the figures and fails when the goal is missed.
set -euo pipefail
cd "$(dirname "$0")/.."
cli=build/bin/tapwright-cli
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
sed -e 's/^ *Tw: .*/   Tw: 1.000000/' -e 's/^PBrip: .*/PBrip: 0.000000/' \
    -e 's/^SBrip: .*/SBrip: 0.000000/' -e 's/^ *FFT: .*/  FFT: 9/' \
    examples/kaiser_auto.txt >"$work/longest.txt"
/usr/bin/time -v "$cli" report "$work/longest.txt" --kind coefficients -o "$work/longest.pdf" \
    2>"$work/time.txt"
kb=$(awk -F': ' '/Maximum resident set size/ {print $2}' "$work/time.txt")
wall=$(awk -F': ' '/Elapsed \(wall clock\)/ {print $2}' "$work/time.txt")
pages=$(pdfinfo "$work/longest.pdf" 2>/dev/null | awk '/^Pages:/ {print $2}' || true)
echo "coefficient report, 95,849 taps: ${pages:-?} pages, ${wall} wall, peak RSS $((kb / 1024)) MB"
[ "$kb" -le $((200 * 1024)) ]
