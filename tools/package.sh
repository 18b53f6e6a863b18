#!/bin/sh
# SPDX-License-Identifier: MIT
# Installs what is needed, builds Chromabox for release and makes its Debian package in build-run/.
set -eu
cd "$(dirname "$0")/.."
sh tools/install-deps.sh package
cmake -S . -B build-run -G Ninja -DCMAKE_BUILD_TYPE=Release -DCHROMABOX_TESTS=OFF
cmake --build build-run
(cd build-run && cpack -G DEB)
ls build-run/chromabox_*.deb
