#!/bin/sh
# SPDX-License-Identifier: MIT
# Builds the benchmarks (Release) into build-bench/, times loadPaletteList against the physical
# floor and the other INI readers, measures the peak memory of loading a million palettes, then
# times the window: start-up to the first paint against a bare Qt window, in one process and as
# whole processes, and the display commands.
#   tools/bench.sh
# Takes a few minutes and one core; run it on a quiet machine for numbers worth comparing.
set -eu
cd "$(dirname "$0")/.."

sh tools/install-deps.sh test
cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCHROMABOX_BENCH=ON -DCHROMABOX_WINDOW=ON -DCHROMABOX_TESTS=OFF
cmake --build build-bench

results=build-bench/palette_list_bench.txt
build-bench/bench/palette_list_bench | tee "$results"

# Peak memory: a process that loads one file of a million palettes and does nothing else, next to
# the same process on an empty file, which is what the program costs before any palette.
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
awk 'BEGIN {
  srand(1)
  for (k = 1; k <= 1000000; k++) {
    printf "Name%d = Palette %d\nHexString%d = ", k, k, k
    for (c = 0; c < 5; c++) printf "%s%06X", (c ? "," : ""), int(rand() * 16777216)
    printf "\n"
  }
}' >"$dir/Chromabox.ini"
: >"$dir/empty.ini"

peak_kb() {
  /usr/bin/time -v build-bench/bench/load_list "$1" 2>"$dir/time.txt" >"$dir/count.txt"
  sed -n 's/.*Maximum resident set size (kbytes): *//p' "$dir/time.txt"
}
size=$(stat -c %s "$dir/Chromabox.ini")
count=$(peak_kb "$dir/Chromabox.ini")
palettes=$(cat "$dir/count.txt")
empty=$(peak_kb "$dir/empty.ini")

echo
sed -n '/^Median of/,$p' "$results"
echo
echo "Peak RSS (/usr/bin/time -v build-bench/bench/load_list FILE):"
awk -v size="$size" -v peak="$count" -v empty="$empty" -v n="$palettes" 'BEGIN {
  printf "  %d palettes, file %.1f MB: peak RSS %.1f MB = %.2fx the file (target <= 3.5x)\n", n, size / 1e6, peak * 1024 / 1e6, peak * 1024 / size
  printf "  empty file: peak RSS %.1f MB; above that, %.2fx the file\n", empty * 1024 / 1e6, (peak - empty) * 1024 / size
}'

# The window: start-up to the first paint against a bare window, with the examples and with the
# million palettes, and the display commands; offscreen, in one process.
echo
echo "Window (offscreen, in process):"
QT_QPA_PLATFORM=offscreen build-bench/bench/window_bench --benchmark_repetitions=3 \
  --benchmark_report_aggregates_only=true 2>/dev/null | grep -E '^BM_.*_median'

# Whole processes: Chromabox's start-up up to its first paint against a bare window's, then with a
# million palettes against a process that only loads them. Medians, as the machine's noise is
# one-sided.
echo
echo "Whole process (hyperfine, offscreen, median of runs):"
whole() {
  QT_QPA_PLATFORM=offscreen hyperfine -N --style none -w "$1" -r "$2" --export-json "$dir/whole.json" \
    "$3" "$4" >/dev/null 2>&1
  python3 - "$dir/whole.json" <<'PY'
import json, sys
first, second = json.load(open(sys.argv[1]))["results"]
for r in (first, second):
    print(f"  {r['median'] * 1e3:9.1f} ms  {r['command']}")
print(f"  ratio of medians {first['median'] / second['median']:.2f}")
PY
}
whole 10 150 "build-bench/bench/startup_probe chromabox examples/Chromabox.ini 'examples/Palette Logo.png'" \
  "build-bench/bench/startup_probe bare"
whole 1 10 "build-bench/bench/startup_probe chromabox $dir/Chromabox.ini 'examples/Palette Logo.png'" \
  "build-bench/bench/load_list $dir/Chromabox.ini"
