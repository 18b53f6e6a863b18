#!/bin/sh
# SPDX-License-Identifier: MIT
# Installs what is needed, builds Chromabox and starts it in examples/, on the example palettes.
set -eu
cd "$(dirname "$0")/.."
sh tools/install-deps.sh run
cmake -S . -B build-run -G Ninja -DCMAKE_BUILD_TYPE=Release -DCHROMABOX_TESTS=OFF
cmake --build build-run --target chromabox
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "Chromabox is built (build-run/window/chromabox) but there is no display to show it on: DISPLAY and WAYLAND_DISPLAY are unset." >&2
  exit 1
fi
cd examples
exec ../build-run/window/chromabox
