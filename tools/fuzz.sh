#!/bin/sh
# SPDX-License-Identifier: MIT
# Builds the libFuzzer targets (clang, AddressSanitizer, UndefinedBehaviorSanitizer) into build-fuzz/
# and runs each for the given number of seconds, 30 unless told, one after the other on one core.
#   tools/fuzz.sh [seconds]
# Each target starts from a copy of its seed corpus under build-fuzz/runs/, so the committed corpus
# never grows. Exits non-zero when any target crashes; the input that did it is left in
# build-fuzz/runs/<target>/ as crash-*, leak-*, timeout-* or oom-*.
set -eu
cd "$(dirname "$0")/.."
seconds=${1:-30}
case $seconds in
  '' | *[!0-9]*) echo "usage: $0 [seconds]" >&2; exit 2 ;;
esac

sh tools/install-deps.sh test
cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 \
  -DCHROMABOX_FUZZ=ON -DCHROMABOX_WINDOW=ON -DCHROMABOX_TESTS=OFF -DCHROMABOX_WERROR=ON
targets="list_file_fuzz colour_codes_fuzz logo_picture_fuzz"
# shellcheck disable=SC2086
cmake --build build-fuzz --target $targets

failed=""
for target in $targets; do
  run=build-fuzz/runs/$target
  rm -rf "$run"
  mkdir -p "$run/corpus"
  cp fuzz/corpus/$target/* "$run/corpus/"
  echo "== $target: $seconds s"
  # -timeout: an input that takes seconds is a finding too; stdin is never read.
  if ! "build-fuzz/fuzz/$target" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
      -artifact_prefix="$run/" "$run/corpus" </dev/null; then
    failed="$failed $target"
  fi
done

if [ -n "$failed" ]; then
  echo "fuzzing found a crash in:$failed (inputs in build-fuzz/runs/)" >&2
  exit 1
fi
echo "fuzzing: no crash in $seconds s per target"
