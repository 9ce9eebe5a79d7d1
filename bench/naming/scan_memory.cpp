// Peak memory of the scan over 200 MB charts that are one single line: an LF-only chart (whose
// only header line runs the whole file) and garbage without any CR or 0x1A. The scan must read
// them to the end in constant memory: the whole process stays under 16 MB.
//
// Run: build-naming/bench/naming/scan_memory [megabytes]
// The files go to a temporary folder that is removed at the end. Exits 1 when over the bar.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "naming/bms_header.h"

#ifndef _WIN32
#include <sys/resource.h>
#endif

namespace {

constexpr long kBarKiB = 16 * 1024;

// Writes a file of size bytes made of the head and then chunks from fill, a chunk at a time.
void WriteSingleLine(const std::filesystem::path& path, const std::string& head,
                     const std::string& chunk, std::size_t size) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        std::exit(2);
    }
    std::fwrite(head.data(), 1, head.size(), file);
    std::size_t written = head.size();
    while (written < size) {
        std::size_t count = std::min(chunk.size(), size - written);
        std::fwrite(chunk.data(), 1, count, file);
        written += count;
    }
    if (std::fclose(file) != 0) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        std::exit(2);
    }
}

long PeakKiB() {
#ifndef _WIN32
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
#else
    return 0;
#endif
}

void Scan(const char* what, const std::filesystem::path& path) {
    auto start = std::chrono::steady_clock::now();
    naming::TBmsScan scan = naming::ScanBmsHeader(path);
    double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%-9s %llu bytes read in %.3f s (%.0f MB/s), title %zu bytes, peak %ld KiB\n", what,
                static_cast<unsigned long long>(scan.bytesRead), seconds,
                static_cast<double>(scan.bytesRead) / seconds / 1e6, scan.header.Title.size(),
                PeakKiB());
}

}  // namespace

int main(int argc, char** argv) {
    std::size_t megabytes = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 200;
    std::size_t size = megabytes * 1000 * 1000;
    std::filesystem::path folder = std::filesystem::temp_directory_path() /
                                   ("bfr-scan-memory-" + std::to_string(std::random_device()()));
    std::filesystem::create_directories(folder);

    std::string notes;
    while (notes.size() < 64 * 1024) {
        notes += "#00111:0102030405060708\n";
    }
    WriteSingleLine(folder / "lf_only.bms", "#TITLE One long line\n#ARTIST x\n", notes, size);

    std::string garbage(64 * 1024, '\0');
    std::mt19937 random(1);
    for (char& c : garbage) {
        do {
            c = static_cast<char>(random());
        } while (c == '\r' || c == '\x1A');
    }
    WriteSingleLine(folder / "garbage.bms", "", garbage, size);

    std::printf("before scanning: peak %ld KiB\n", PeakKiB());
    Scan("LF-only", folder / "lf_only.bms");
    Scan("garbage", folder / "garbage.bms");
    std::filesystem::remove_all(folder);

    long peak = PeakKiB();
    std::printf("peak memory of the process: %ld KiB (bar: under %ld KiB)\n", peak, kBarKiB);
    return peak < kBarKiB ? 0 : 1;
}
