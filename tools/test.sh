#!/bin/sh
# SPDX-License-Identifier: MIT
# Installs what is needed, fuzzes every target briefly, builds everything with AddressSanitizer and
# UndefinedBehaviorSanitizer and warnings as errors, and runs every test. Ends on CTest's summary;
# exits non-zero on any failure.
set -eu
cd "$(dirname "$0")/.."
sh tools/install-deps.sh test
# A short fuzzing run of every target (clang, its own build folder), from the committed seed corpus.
sh tools/fuzz.sh 30
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCHROMABOX_SANITIZE=ON -DCHROMABOX_WERROR=ON -DCHROMABOX_TESTS=ON
cmake --build build
ctest --test-dir build --output-on-failure
