// SPDX-License-Identifier: MIT
// Times palette::loadPaletteList on generated list files against the physical floor (reading the
// file and finding its line ends) and against three other INI readers that build the same list,
// all in one run, then prints one table of medians. Each peer's list is compared with ours before
// anything is timed, so a peer that is fast because it reads something else shows up as such.
//
// The files live in a fresh temporary folder that is removed at the end; they are written once
// and stay in the page cache, so every method reads from memory.
#include <SimpleIni.h>
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <ini.h>
#include <malloc.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QSettings>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <algorithm>
#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "bench/list_files.h"
#include "palette/palette_list.h"

namespace {

using palette::PaletteEntry;
using palette::PaletteList;

struct ListFile {
    std::string label;
    std::size_t palettes;
    char lineEnd;        // every line ends with this one byte
    bool byteOrderMark;  // UTF-8 with a mark, and an "é" in every name; Latin-1 (all ASCII) otherwise
    std::filesystem::path path;
    std::uintmax_t bytes = 0;
};

void writeListFile(ListFile& file) {
    bench::writeListFile(file.path, file.palettes, file.lineEnd, file.byteOrderMark);
    file.bytes = std::filesystem::file_size(file.path);
}

std::u16string decode(std::string_view bytes, bool utf8) {
    return utf8 ? palette::decodeUtf8(bytes) : palette::decodeLatin1(bytes);
}

std::string_view keyFor(char (&buffer)[32], std::string_view word, std::size_t k) {
    std::memcpy(buffer, word.data(), word.size());
    const auto end = std::to_chars(buffer + word.size(), buffer + sizeof buffer - 1, k).ptr;
    *end = '\0';  // the C readers want terminated keys
    return {buffer, static_cast<std::size_t>(end - buffer)};
}

// --- The methods -------------------------------------------------------------------------------

PaletteList loadOurs(const ListFile& file) {
    auto list = palette::loadPaletteList(file.path);
    if (!list) throw std::runtime_error("cannot open " + file.path.string());
    return std::move(*list);
}

// What no reader can beat: read() the whole file into fresh memory, then one memchr per line.
// Builds no list.
PaletteList floorPass(const ListFile& file) {
    const int fd = ::open(file.path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) throw std::runtime_error("cannot open " + file.path.string());
    struct stat status {};
    ::fstat(fd, &status);
    const auto size = static_cast<std::size_t>(status.st_size);
    auto buffer = std::make_unique_for_overwrite<char[]>(size);
    std::size_t filled = 0;
    while (filled < size) {
        const ssize_t n = ::read(fd, buffer.get() + filled, size - filled);
        if (n <= 0) break;
        filled += static_cast<std::size_t>(n);
    }
    ::close(fd);
    std::size_t lines = 0;
    const char* p = buffer.get();
    const char* const end = p + filled;
    while (p < end) {
        const void* eol = std::memchr(p, file.lineEnd, static_cast<std::size_t>(end - p));
        if (eol == nullptr) break;
        p = static_cast<const char*>(eol) + 1;
        ++lines;
    }
    benchmark::DoNotOptimize(buffer.get());
    benchmark::DoNotOptimize(lines);
    return {};
}

// inih calls back once per key line; ours is a first-wins map of ASCII-folded keys from before
// the first group, then the same look-ups the loader's rule makes.
struct InihKeys {
    std::unordered_map<std::string, std::string> keys;
};

int onInihKey(void* user, const char* section, const char* name, const char* value) {
    if (*section != '\0') return 1;  // keys after a group line do not count
    std::string key(name);
    for (char& c : key) c = c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c;
    static_cast<InihKeys*>(user)->keys.try_emplace(std::move(key), value);
    return 1;
}

PaletteList loadInih(const ListFile& file) {
    InihKeys parsed;
    if (ini_parse(file.path.c_str(), onInihKey, &parsed) < 0) throw std::runtime_error("inih cannot open the file");
    PaletteList list;
    char key[32];
    for (std::size_t k = 1;; ++k) {
        const auto name = parsed.keys.find(std::string(keyFor(key, "name", k)));
        const auto hex = parsed.keys.find(std::string(keyFor(key, "hexstring", k)));
        PaletteEntry entry{name != parsed.keys.end() ? decode(name->second, file.byteOrderMark) : std::u16string(),
                           hex != parsed.keys.end() ? decode(hex->second, file.byteOrderMark) : std::u16string()};
        if (entry.name.empty() && entry.hexString.empty()) return list;
        list.push_back(std::move(entry));
    }
}

// SimpleIni files keys before the first group under the section "" and folds ASCII case itself.
PaletteList loadSimpleIni(const ListFile& file) {
    CSimpleIniA ini;
    ini.SetUnicode(file.byteOrderMark);
    if (ini.LoadFile(file.path.c_str()) < 0) throw std::runtime_error("SimpleIni cannot load the file");
    PaletteList list;
    char key[32];
    for (std::size_t k = 1;; ++k) {
        PaletteEntry entry{decode(ini.GetValue("", keyFor(key, "Name", k).data(), ""), file.byteOrderMark),
                           decode(ini.GetValue("", keyFor(key, "HexString", k).data(), ""), file.byteOrderMark)};
        if (entry.name.empty() && entry.hexString.empty()) return list;
        list.push_back(std::move(entry));
    }
}

// QSettings reads every INI file as UTF-8 and turns a value with commas into a string list,
// which is joined back here.
std::u16string settingsText(const QVariant& value) {
    if (value.typeId() == QMetaType::QStringList) return value.toStringList().join(u',').toStdU16String();
    return value.toString().toStdU16String();
}

PaletteList loadQSettings(const ListFile& file) {
    const QSettings settings(QString::fromStdString(file.path.string()), QSettings::IniFormat);
    PaletteList list;
    for (std::size_t k = 1;; ++k) {
        const QString number = QString::number(k);
        PaletteEntry entry{settingsText(settings.value(QStringLiteral("Name") + number)),
                           settingsText(settings.value(QStringLiteral("HexString") + number))};
        if (entry.name.empty() && entry.hexString.empty()) return list;
        list.push_back(std::move(entry));
    }
}

// A fresh heap is what the program has when it loads its list at start-up: every page it touches
// faults in first, and in this VM the faults cost more than the parsing. A warm heap (the pages of
// the previous load of the same file kept) shows the work alone. Everything is timed on a fresh
// heap; ours and the floor on a warm one too.
enum class Heap { Fresh, Warm };

struct Method {
    const char* name;
    PaletteList (*run)(const ListFile&);
    Heap heap;
    bool buildsList;  // false for the floor
};

const Method methods[] = {
    {"loadPaletteList", loadOurs, Heap::Fresh, true},
    {"floor", floorPass, Heap::Fresh, false},
    {"inih", loadInih, Heap::Fresh, true},
    {"SimpleIni", loadSimpleIni, Heap::Fresh, true},
    {"QSettings", loadQSettings, Heap::Fresh, true},
    {"loadPaletteList-warm", loadOurs, Heap::Warm, true},
    {"floor-warm", floorPass, Heap::Warm, false},
};
const Method& oursIn(Heap heap) { return heap == Heap::Fresh ? methods[0] : methods[5]; }
const Method& floorIn(Heap heap) { return heap == Heap::Fresh ? methods[1] : methods[6]; }
bool isPeer(const Method& method) { return method.buildsList && method.run != loadOurs; }

void timeRuns(benchmark::State& state, const Method& method, const ListFile& file) {
    if (method.heap == Heap::Warm) {
        // Warm means warmed by this very load, not by whatever ran before: the peers leave a
        // gigabyte of scattered free blocks behind, and a list spread over them loads up to twice
        // as slowly as one laid out afresh.
        ::malloc_trim(0);
        method.run(file);
    }
    for (auto _ : state) {
        if (method.heap == Heap::Fresh) ::malloc_trim(0);  // give every free page back to the system
        const auto start = std::chrono::steady_clock::now();
        PaletteList list = method.run(file);
        const auto stop = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(list.data());
        state.SetIterationTime(std::chrono::duration<double>(stop - start).count());
        // The list is freed here, untimed: the program keeps it for as long as it runs.
    }
}

// Keeps the median of every benchmark for the table, and shows the usual console output meanwhile.
class MedianCollector : public benchmark::ConsoleReporter {
public:
    MedianCollector() : ConsoleReporter(::isatty(STDOUT_FILENO) ? OO_ColorTabular : OO_Tabular) {}
    void ReportRuns(const std::vector<Run>& reports) override {
        for (const Run& run : reports) {
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median" && !run.error_occurred)
                mediansMs[run.run_name.function_name] = run.GetAdjustedRealTime();
        }
        ConsoleReporter::ReportRuns(reports);
    }
    std::map<std::string, double> mediansMs;
};

std::string benchName(const Method& method, const ListFile& file) { return std::string(method.name) + "/" + file.label; }

std::string describe(const PaletteList& theirs, const PaletteList& ours) {
    if (theirs == ours) return "same list";
    const auto mismatch = std::mismatch(theirs.begin(), theirs.end(), ours.begin(), ours.end());
    return "DIFFERENT list (" + std::to_string(theirs.size()) + " palettes against " + std::to_string(ours.size()) +
           ", first difference at palette " + std::to_string(mismatch.first - theirs.begin() + 1) + ")";
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    // Heap memory is only ever given back by malloc_trim, so that a warm heap stays warm and a
    // fresh one is fresh by choice, whatever the sizes involved.
    ::mallopt(M_MMAP_MAX, 0);
    ::mallopt(M_TRIM_THRESHOLD, std::numeric_limits<int>::max());

    std::string pattern = (std::filesystem::temp_directory_path() / "chromabox-bench-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        std::perror("mkdtemp");
        return 1;
    }
    const std::filesystem::path dir = pattern;

    std::vector<ListFile> files = {
        {"1k", 1'000, '\n', false, dir / "1k.ini"},
        {"100k", 100'000, '\n', false, dir / "100k.ini"},
        {"1M", 1'000'000, '\n', false, dir / "1M.ini"},
        {"1M-CR", 1'000'000, '\r', false, dir / "1M-CR.ini"},
        {"1M-BOM", 1'000'000, '\n', true, dir / "1M-BOM.ini"},
    };
    for (ListFile& file : files) writeListFile(file);

    int status = 0;
    std::map<std::string, bool> sameList;
    std::printf("Lists built by each reader, compared with loadPaletteList's:\n");
    for (const ListFile& file : files) {
        const PaletteList ours = loadOurs(file);
        std::printf("  %-7s %9ju bytes, %zu palettes (%.1f bytes each)\n", file.label.c_str(), file.bytes, ours.size(),
                    static_cast<double>(file.bytes) / static_cast<double>(file.palettes));
        if (ours.size() != file.palettes) {
            std::printf("    loadPaletteList found %zu palettes in a file of %zu\n", ours.size(), file.palettes);
            status = 1;
        }
        for (const Method& method : methods) {
            if (!isPeer(method)) continue;
            const PaletteList theirs = method.run(file);
            sameList[benchName(method, file)] = theirs == ours;
            std::printf("    %-10s %s\n", method.name, describe(theirs, ours).c_str());
        }
    }
    std::fflush(stdout);

    for (const ListFile& file : files) {
        for (const Method& method : methods) {
            benchmark::RegisterBenchmark(benchName(method, file).c_str(), timeRuns, method, file)
                ->UseManualTime()
                ->Unit(benchmark::kMillisecond)
                ->Repetitions(5)
                ->ReportAggregatesOnly(true);
        }
    }
    MedianCollector collector;
    benchmark::RunSpecifiedBenchmarks(&collector);
    benchmark::Shutdown();

    // NaN for a benchmark left out by --benchmark_filter, so that its ratios print as "nan".
    const auto median = [&](const Method& method, const ListFile& file) {
        const auto it = collector.mediansMs.find(benchName(method, file));
        return it == collector.mediansMs.end() ? std::numeric_limits<double>::quiet_NaN() : it->second;
    };
    std::printf("\nMedian of 5 runs, wall time; x ours and x floor against the same heap:\n");
    std::printf("%-21s %-7s %11s %9s %9s %11s  %s\n", "method", "file", "median ms", "x ours", "x floor", "ns/palette",
                "list");
    for (const ListFile& file : files) {
        for (const Method& method : methods) {
            const double ms = median(method, file);
            if (std::isnan(ms)) continue;
            const auto same = sameList.find(benchName(method, file));
            std::printf("%-21s %-7s %11.3f %9.2f %9.2f %11.1f  %s\n", method.name, file.label.c_str(), ms,
                        ms / median(oursIn(method.heap), file), ms / median(floorIn(method.heap), file),
                        ms * 1e6 / static_cast<double>(file.palettes),
                        !method.buildsList ? "-" : same == sameList.end() ? "ours" : same->second ? "same" : "DIFFERENT");
        }
    }

    std::printf("\nTargets (peers count only where their list is the same as ours):\n");
    for (const ListFile& file : files) {
        if (file.palettes != 1'000'000) continue;
        const double oursMs = median(oursIn(Heap::Fresh), file);
        double fastestMs = std::numeric_limits<double>::quiet_NaN();
        const char* fastest = "none";
        for (const Method& method : methods) {
            const double ms = median(method, file);
            if (!isPeer(method) || std::isnan(ms) || !sameList[benchName(method, file)]) continue;
            if (std::isnan(fastestMs) || ms < fastestMs) fastestMs = ms, fastest = method.name;
        }
        std::printf("  %-7s fastest peer %s: %.1fx loadPaletteList's time (target >= 5x)\n", file.label.c_str(), fastest,
                    fastestMs / oursMs);
        for (Heap heap : {Heap::Fresh, Heap::Warm}) {
            std::printf("  %-7s %s heap: loadPaletteList takes %.2fx the floor (target <= 8x, stretch <= 5x)\n",
                        file.label.c_str(), heap == Heap::Fresh ? "fresh" : "warm",
                        median(oursIn(heap), file) / median(floorIn(heap), file));
        }
    }
    for (Heap heap : {Heap::Fresh, Heap::Warm}) {
        double lowest = -1, highest = -1;
        for (const ListFile& file : files) {
            const double ms = median(oursIn(heap), file);
            if (file.lineEnd != '\n' || file.byteOrderMark || std::isnan(ms)) continue;
            const double perPalette = ms / static_cast<double>(file.palettes);
            lowest = lowest < 0 ? perPalette : std::min(lowest, perPalette);
            highest = std::max(highest, perPalette);
        }
        if (lowest > 0)
            std::printf("  %s heap: loadPaletteList time per palette, 1k to 1M: highest / lowest = %.2f (target <= 1.5)\n",
                        heap == Heap::Fresh ? "fresh" : "warm", highest / lowest);
    }

    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
    return status;
}
