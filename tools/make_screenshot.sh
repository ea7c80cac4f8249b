#!/usr/bin/env bash
# Makes docs/window.png, the README's picture of the window after an equiripple
# design, by running the window offscreen (no display needed).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --build build --target tapwright_window_shot
mkdir -p docs
# The magnitude graph on the dB scale: graph type 1 (1033), Log Scale (1059).
build/bin/tapwright_window_shot \
    load examples/lowpass_equiripple.txt apply \
    select 1033 1 click 1059 \
    shot docs/window.png
echo "wrote docs/window.png"
