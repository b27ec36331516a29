// Generating the time list against the literal baseline and against the
// durable floor (the least a durable all-or-nothing write must do), on a
// realistic replay folder, and the scan alone on small against huge (sparse)
// replays. Prints the ratios at the end; a benchmark, not a test: it never
// fails on timing.
#include <unistd.h>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "literal_baseline.h"
#include "timelist/replay_scan.h"
#include "timelist/time_list_page.h"

namespace fs = std::filesystem;
using namespace chronolist;

namespace {

fs::path gRoot;

fs::path Folder(const char* name) {
  return gRoot / name;
}

void WriteReplay(const fs::path& folder, int room, std::uintmax_t size, bool sparse) {
  char name[32];
  std::snprintf(name, sizeof name, "map%03d.bdb", room);
  const fs::path file = folder / "replay" / name;
  if (sparse) {
    std::ofstream{file, std::ios::binary};
    fs::resize_file(file, size);
    return;
  }
  std::string bytes(size, '\0');
  std::mt19937 random(static_cast<unsigned>(room));
  for (char& byte : bytes) {
    byte = static_cast<char>(random());
  }
  std::ofstream{file, std::ios::binary}.write(bytes.data(), static_cast<std::streamsize>(size));
}

// realistic: 199 replays of 10 to 60 minutes (18,000 to 108,000 bytes).
// small / huge: 199 replays of 1 KiB / 1 GiB (sparse, so no disk is used).
void LayFolders() {
  std::string pattern = (fs::temp_directory_path() / "chronolist-bench-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) {
    std::perror("mkdtemp");
    std::exit(1);
  }
  gRoot = pattern;
  std::mt19937 random(2026);
  std::uniform_int_distribution<std::uintmax_t> realisticSize(18000, 108000);
  for (const char* name : {"realistic", "small", "huge"}) {
    fs::create_directories(Folder(name) / "replay");
  }
  for (int room = kFirstRoom; room <= kLastRoom; ++room) {
    WriteReplay(Folder("realistic"), room, realisticSize(random), false);
    WriteReplay(Folder("small"), room, 1024, false);
    WriteReplay(Folder("huge"), room, std::uintmax_t{1} << 30, true);
  }
}

void BM_Generate_Literal(benchmark::State& state) {
  fs::current_path(Folder("realistic"));
  for (auto _ : state) {
    RunTimeTable table;
    bench::LiteralScanReplays(table);
    bench::LiteralWriteTimeListPage(table);
  }
}

void BM_Generate_Chronolist(benchmark::State& state) {
  fs::current_path(Folder("realistic"));
  for (auto _ : state) {
    benchmark::DoNotOptimize(GenerateTimeList());
  }
}

void BM_Generate_DurableFloor(benchmark::State& state) {
  fs::current_path(Folder("realistic"));
  for (auto _ : state) {
    bench::DurableFloorGenerate();
  }
}

void BM_Scan(benchmark::State& state, const char* folder) {
  fs::current_path(Folder(folder));
  for (auto _ : state) {
    RunTimeTable table;
    benchmark::DoNotOptimize(ScanReplays(table));
    benchmark::DoNotOptimize(table);
  }
}

BENCHMARK(BM_Generate_Literal)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_Generate_Chronolist)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_Generate_DurableFloor)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK_CAPTURE(BM_Scan, 1KiB, "small")->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK_CAPTURE(BM_Scan, 1GiB, "huge")->Unit(benchmark::kMillisecond)->MinTime(1.0);

// Keeps each benchmark's real time per iteration for the ratios.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  // Plain text: the figures end up in logs and the README.
  RatioReporter() : ConsoleReporter(OO_Tabular) {}

  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      times_[run.benchmark_name()] = run.GetAdjustedRealTime();
    }
    ConsoleReporter::ReportRuns(runs);
  }
  double Time(const std::string& name) const {
    const auto found = times_.find(name);
    return found == times_.end() ? 0.0 : found->second;
  }

 private:
  std::map<std::string, double> times_;
};

// Both ways must write the same page, or the comparison means nothing.
bool SamePageBothWays() {
  fs::current_path(Folder("realistic"));
  RunTimeTable table;
  bench::LiteralScanReplays(table);
  bench::LiteralWriteTimeListPage(table);
  std::ifstream literalFile(kTimeListFileName, std::ios::binary);
  const std::string literal{std::istreambuf_iterator<char>(literalFile), {}};
  if (!GenerateTimeList().written()) {
    return false;
  }
  std::ifstream ownFile(kTimeListFileName, std::ios::binary);
  return literal == std::string{std::istreambuf_iterator<char>(ownFile), {}};
}

// The job against the floor, one run of each in turn, so that a disk that
// slows down or speeds up meanwhile weighs on both alike: medians in ms.
std::pair<double, double> InterleavedAgainstTheFloor(int rounds) {
  fs::current_path(Folder("realistic"));
  using Clock = std::chrono::steady_clock;
  auto ms = [](auto run) {
    const auto start = Clock::now();
    run();
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
  };
  std::vector<double> own, floor;
  for (int round = 0; round < rounds; ++round) {
    own.push_back(ms([] { benchmark::DoNotOptimize(GenerateTimeList()); }));
    floor.push_back(ms(bench::DurableFloorGenerate));
  }
  auto median = [](std::vector<double>& times) {
    std::nth_element(times.begin(), times.begin() + times.size() / 2, times.end());
    return times[times.size() / 2];
  };
  return {median(own), median(floor)};
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  LayFolders();
  const fs::path start = fs::current_path();
  if (!SamePageBothWays()) {
    std::fprintf(stderr, "the literal baseline and GenerateTimeList wrote different pages\n");
    return 1;
  }
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  constexpr int kRounds = 101;
  const auto [ownMedian, floorMedian] = InterleavedAgainstTheFloor(kRounds);
  fs::current_path(start);
  fs::remove_all(gRoot);

  const double literal = reporter.Time("BM_Generate_Literal/min_time:2.000");
  const double own = reporter.Time("BM_Generate_Chronolist/min_time:2.000");
  const double small = reporter.Time("BM_Scan/1KiB/min_time:1.000");
  const double huge = reporter.Time("BM_Scan/1GiB/min_time:1.000");
  if (literal > 0 && own > 0) {
    std::printf(
        "\nGenerateTimeList, 199 replays of 18,000-108,000 bytes: %.1fx faster than the "
        "literal baseline (%.3f ms vs %.3f ms)\n",
        literal / own, own, literal);
  }
  std::printf(
      "GenerateTimeList against the durable floor, %d interleaved runs each: %.2fx the floor's "
      "time (medians %.3f ms vs %.3f ms)\n",
      kRounds, ownMedian / floorMedian, ownMedian, floorMedian);
  if (small > 0 && huge > 0) {
    std::printf("ScanReplays, 199 replays of 1 GiB vs 1 KiB: %.2fx the time (%.3f ms vs %.3f ms)\n",
                huge / small, huge, small);
  }
  return 0;
}
