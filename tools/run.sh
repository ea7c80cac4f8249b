#!/usr/bin/env bash
# Starts Tapwright. Until the window program is part of the build, designs the
# default example with the command-line designer and shows the result.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ -x build/bin/tapwright ]; then
    exec build/bin/tapwright "$@"
fi
echo "The Tapwright window is not part of this build yet; designing examples/lowpass_default.txt"
echo "with the command-line designer instead (build/bin/tapwright-cli design ...):"
echo
build/bin/tapwright-cli design examples/lowpass_default.txt
