#!/usr/bin/env bash
# Starts the Tapwright window. Without a display it says so and designs the
# default example with the command-line designer instead.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display (neither DISPLAY nor WAYLAND_DISPLAY is set), so no window: try \`xvfb-run make run\`; designing examples/lowpass_default.txt with tapwright-cli instead:"
    exec build/bin/tapwright-cli design examples/lowpass_default.txt
fi
exec build/bin/tapwright "$@"
