// SPDX-License-Identifier: MIT
// Loads one list file and prints how many palettes it holds, nothing else, so that an outside
// measurement (/usr/bin/time -v) sees the loader's peak memory and not a benchmark harness's.
#include <cstdio>

#include "palette/palette_list.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s LIST-FILE\n", argv[0]);
        return 2;
    }
    const auto list = palette::loadPaletteList(argv[1]);
    if (!list) {
        std::fprintf(stderr, "%s: cannot open %s\n", argv[0], argv[1]);
        return 1;
    }
    std::printf("%d\n", palette::paletteCount(*list));
    return 0;
}
