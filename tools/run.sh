#!/bin/sh
# SPDX-License-Identifier: MIT
# Installs what is needed, builds Chromabox and starts it in examples/, on the example palettes.
set -eu
cd "$(dirname "$0")/.."
sh tools/install-deps.sh run
cmake -S . -B build-run -G Ninja -DCMAKE_BUILD_TYPE=Release -DCHROMABOX_TESTS=OFF
cmake --build build-run --target chromabox
# Without a display the program says so in one line and ends with a non-zero code.
cd examples
exec ../build-run/window/chromabox
