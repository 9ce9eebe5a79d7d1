// Charts scanned per second over a few thousand 300 KB charts whose header sits in the first
// kilobyte, warm in the page cache, against the floor of opening each file, reading its first
// 4 KiB and closing it with plain system calls. Prints both and their ratio (the bar is 1.3).
//
// Run: build-naming/bench/naming/scan_bench [--charts=N] [benchmark options]; on a shared machine
// interleave the runs so that a change of load hits all of them alike:
//   scan_bench --benchmark_repetitions=10 --benchmark_enable_random_interleaving=true
// The charts (about 900 MB for 3000) go to a temporary folder that is removed at the end.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "naming/bms_header.h"

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

constexpr std::size_t kChartBytes = 300 * 1024;

std::vector<std::filesystem::path> gCharts;

// A chart of kChartBytes: a header of about half a kilobyte, then note lines.
std::string MakeChart(std::size_t index) {
    std::string chart =
        "\r\n*---------------------- HEADER FIELD\r\n\r\n#PLAYER 1\r\n#GENRE Happy Hardcore " +
        std::to_string(index) + "\r\n#TITLE Song number " + std::to_string(index) +
        " [Another]\r\n#SUBTITLE (long version)\r\n#ARTIST Composer " + std::to_string(index % 97) +
        " / obj. someone\r\n#BPM 174\r\n#PLAYLEVEL " + std::to_string(index % 13) +
        "\r\n#RANK 2\r\n#TOTAL 320\r\n#STAGEFILE stage.png\r\n#WAV01 kick.wav\r\n#WAV02 "
        "snare.wav\r\n"
        "\r\n*---------------------- MAIN DATA FIELD\r\n\r\n";
    std::mt19937 engine(static_cast<unsigned>(index));
    auto random = [&engine](unsigned below) { return static_cast<unsigned>(engine() % below); };
    while (chart.size() < kChartBytes) {
        char line[64];
        std::snprintf(line, sizeof line, "#%03u1%u:%02X%02X%02X%02X\r\n", random(999),
                      1 + random(9), random(256), random(256), random(256), random(256));
        chart += line;
    }
    chart.resize(kChartBytes);
    return chart;
}

void WriteCharts(const std::filesystem::path& folder, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        std::filesystem::path path = folder / ("chart" + std::to_string(i) + ".bms");
        std::string chart = MakeChart(i);
        std::FILE* file = std::fopen(path.c_str(), "wb");
        if (file == nullptr || std::fwrite(chart.data(), 1, chart.size(), file) != chart.size()) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            std::exit(1);
        }
        std::fclose(file);
        gCharts.push_back(path);
    }
}

void BM_ScanCharts(benchmark::State& state) {
    for (auto _ : state) {
        for (const std::filesystem::path& chart : gCharts) {
            naming::TBmsHeader header = naming::ReadBmsHeader(chart);
            benchmark::DoNotOptimize(header);
        }
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * gCharts.size()));
}
BENCHMARK(BM_ScanCharts)->Unit(benchmark::kMillisecond)->UseRealTime();

// The scan as the batch rename calls it: its own file test has just found each chart, so the
// scan opens it without a look-up of its own.
void BM_ScanKnownCharts(benchmark::State& state) {
    for (auto _ : state) {
        for (const std::filesystem::path& chart : gCharts) {
            naming::TBmsScan scan = naming::ScanBmsHeader(chart, naming::ChartCheck::KnownFile);
            benchmark::DoNotOptimize(scan);
        }
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * gCharts.size()));
}
BENCHMARK(BM_ScanKnownCharts)->Unit(benchmark::kMillisecond)->UseRealTime();

#ifndef _WIN32
// The floor: open, read the first 4 KiB, close.
void BM_OpenRead4KiBClose(benchmark::State& state) {
    char block[4096];
    for (auto _ : state) {
        for (const std::filesystem::path& chart : gCharts) {
            int fd = ::open(chart.c_str(), O_RDONLY);
            ssize_t got = ::read(fd, block, sizeof block);
            benchmark::DoNotOptimize(got);
            benchmark::DoNotOptimize(block);
            ::close(fd);
        }
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * gCharts.size()));
}
BENCHMARK(BM_OpenRead4KiBClose)->Unit(benchmark::kMillisecond)->UseRealTime();

// The floor with the file-type test the scan makes before it opens anything: what the scan
// costs beyond this is its own work.
void BM_StatOpenRead4KiBClose(benchmark::State& state) {
    char block[4096];
    for (auto _ : state) {
        for (const std::filesystem::path& chart : gCharts) {
            struct stat status {};
            if (::stat(chart.c_str(), &status) == 0 && S_ISREG(status.st_mode)) {
                int fd = ::open(chart.c_str(), O_RDONLY);
                ssize_t got = ::read(fd, block, sizeof block);
                benchmark::DoNotOptimize(got);
                benchmark::DoNotOptimize(block);
                ::close(fd);
            }
        }
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * gCharts.size()));
}
BENCHMARK(BM_StatOpenRead4KiBClose)->Unit(benchmark::kMillisecond)->UseRealTime();
#endif

// Shows the runs as usual and keeps each one's wall and processor time per pass for the ratio.
class RatioReporter : public benchmark::ConsoleReporter {
  public:
    struct Times {
        double real = 0;
        double cpu = 0;
    };

    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration || run.aggregate_name == "median") {
                times_[run.run_name.function_name] = {run.GetAdjustedRealTime(),
                                                      run.GetAdjustedCPUTime()};
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }
    Times Get(const std::string& name) const {
        auto found = times_.find(name);
        return found == times_.end() ? Times{} : found->second;
    }

  private:
    std::map<std::string, Times> times_;
};

// One line per benchmark: charts per second and microseconds per chart, wall and processor.
void PrintRate(const char* what, RatioReporter::Times times, double charts) {
    // Times are per pass over all charts, in milliseconds.
    std::printf("%-22s %8.0f charts/s (%.2f us each); processor time %.2f us each\n", what,
                charts / times.real * 1e3, times.real * 1e3 / charts, times.cpu * 1e3 / charts);
}

}  // namespace

int main(int argc, char** argv) {
    std::size_t count = 3000;
    std::vector<char*> args;
    for (int i = 0; i < argc; ++i) {
        if (std::strncmp(argv[i], "--charts=", 9) == 0) {
            count = std::strtoul(argv[i] + 9, nullptr, 10);
        } else {
            args.push_back(argv[i]);
        }
    }
    int benchArgc = static_cast<int>(args.size());
    benchmark::Initialize(&benchArgc, args.data());

    std::filesystem::path folder = std::filesystem::temp_directory_path() /
                                   ("bfr-scan-bench-" + std::to_string(std::random_device()()));
    std::filesystem::create_directories(folder);
    WriteCharts(folder, count);

    // One pass over every chart so the blocks read are in the page cache; the chart scanned
    // also says how much of a chart the scan reads.
    std::uint64_t bytesRead = 0;
    for (const std::filesystem::path& chart : gCharts) {
        bytesRead = naming::ScanBmsHeader(chart).bytesRead;
    }
    std::printf("%zu charts of %zu bytes; the scan reads %llu bytes of each\n", gCharts.size(),
                kChartBytes, static_cast<unsigned long long>(bytesRead));

    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    std::filesystem::remove_all(folder);

    RatioReporter::Times scan = reporter.Get("BM_ScanCharts");
    RatioReporter::Times floor = reporter.Get("BM_OpenRead4KiBClose");
    RatioReporter::Times checked = reporter.Get("BM_StatOpenRead4KiBClose");
    RatioReporter::Times known = reporter.Get("BM_ScanKnownCharts");
    double n = static_cast<double>(gCharts.size());
    if (scan.real > 0 && floor.real > 0 && checked.real > 0) {
        PrintRate("scan", scan, n);
        PrintRate("floor", floor, n);
        PrintRate("scan of a known file", known, n);
        PrintRate("floor with type test", checked, n);
        std::printf("ratio scan/floor: %.3f wall, %.3f processor (bar: 1.3)\n",
                    scan.real / floor.real, scan.cpu / floor.cpu);
        std::printf("ratio scan/floor with type test: %.3f wall, %.3f processor\n",
                    scan.real / checked.real, scan.cpu / checked.cpu);
        std::printf("ratio scan of a known file/floor: %.3f wall, %.3f processor\n",
                    known.real / floor.real, known.cpu / floor.cpu);
    }
    return 0;
}
