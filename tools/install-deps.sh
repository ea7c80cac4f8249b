#!/usr/bin/env bash
# Installs, from Debian's packages, whatever the build and the tests need and the
# machine lacks. Safe to run again: it only calls apt-get when something is missing.
set -euo pipefail

packages=(
    g++ make cmake ninja-build pkg-config
    libgtest-dev libgmock-dev libbenchmark-dev
    qt6-base-dev qt6-base-dev-tools libgl-dev
    fonts-dejavu-core fonts-dejavu-extra
    xvfb xauth
    # pdftotext: the report tests read the text of the written PDFs back; time:
    # bench/report_memory.sh measures peak memory
    poppler-utils time
    # the install tests: man pages checked by groff, the desktop entry and the
    # AppStream metainfo by Debian's validators
    groff-base desktop-file-utils appstream
    # Eigen: the minimax design's FFTs; python3-scipy: its tests compare with remez
    libeigen3-dev python3-scipy
    # the simulators the exported Verilog and VHDL are tested under
    iverilog ghdl ghdl-mcode
)
# `make package`: dpkg-shlibdeps derives the package's dependencies.
if [ "${1:-}" = package ]; then
    packages+=(dpkg-dev)
fi

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

echo "Installing: ${missing[*]}"
if [ "$(id -u)" -ne 0 ]; then
    SUDO=sudo
else
    SUDO=
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
