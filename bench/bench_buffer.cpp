// Text buffer speed and memory: loading big.txt, inserting a line in the middle of it, typing at
// its end, and a 20 MB single line. Data: gen.py --only big (QV_BENCH_DATA, default /tmp/qv-bench).
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>

#include "editor/editor.h"
#include "editor/text_buffer.h"

namespace {

std::string dataPath(const char* name) {
  const char* dir = std::getenv("QV_BENCH_DATA");
  return std::string(dir ? dir : "/tmp/qv-bench") + "/" + name;
}

// Resident memory right now, from /proc (0 where it cannot be read).
double currentRssMiB() {
  std::ifstream statm("/proc/self/statm");
  long pages = 0, resident = 0;
  if (!(statm >> pages >> resident)) return 0;
  return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

double peakRssMiB() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return static_cast<double>(u.ru_maxrss) / 1024.0;
}

void BM_LoadBigFile(benchmark::State& state) {
  const std::string path = dataPath("big.txt");
  for (auto _ : state) {
    qv::TextBuffer b;
    auto r = b.loadFile(path);
    if (!r.ok) {
      state.SkipWithError(r.error.c_str());
      return;
    }
    benchmark::DoNotOptimize(b.lineCount());
    state.counters["lines"] = b.lineCount();
    state.counters["bytes"] = static_cast<double>(b.size(1));
  }
  state.counters["peak_rss_MiB"] = peakRssMiB();
}
BENCHMARK(BM_LoadBigFile)->Unit(benchmark::kMillisecond)->Iterations(3);

// Memory of a loaded editor against the file size: what stays resident while the file is open
// ("held") and the process peak ("peak", meaningful when this runs first in its own process:
// --benchmark_filter=BM_LoadMemory).
void BM_LoadMemory(benchmark::State& state) {
  const std::string path = dataPath("big.txt");
  std::ifstream probe(path, std::ios::binary | std::ios::ate);
  if (!probe) return state.SkipWithError("big.txt missing: run gen.py --only big");
  const double fileMiB = static_cast<double>(probe.tellg()) / (1024.0 * 1024.0);
  double held = 0;
  for (auto _ : state) {
    const double before = currentRssMiB();
    auto e = std::make_unique<qv::Editor>();
    if (!e->loadFile(path).ok) return state.SkipWithError("could not load big.txt");
    held = currentRssMiB() - before;
    benchmark::DoNotOptimize(e->lineCount());
  }
  state.counters["file_MiB"] = fileMiB;
  state.counters["held_MiB"] = held;
  state.counters["held_per_file"] = held / fileMiB;
  state.counters["peak_rss_MiB"] = peakRssMiB();
}
BENCHMARK(BM_LoadMemory)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_InsertLineInTheMiddle(benchmark::State& state) {
  qv::TextBuffer b;
  if (!b.loadFile(dataPath("big.txt")).ok) {
    state.SkipWithError("big.txt missing: run gen.py --only big");
    return;
  }
  const int middle = b.lineCount() / 2;
  for (auto _ : state) {
    b.insertLine(middle, "inserted line of ordinary length");
    b.deleteLines(middle, 1);
  }
  state.counters["peak_rss_MiB"] = peakRssMiB();
}
BENCHMARK(BM_InsertLineInTheMiddle)->Unit(benchmark::kMicrosecond);

void BM_TypeAtTheEnd(benchmark::State& state) {
  qv::Editor e;
  if (!e.loadFile(dataPath("big.txt")).ok) {
    state.SkipWithError("big.txt missing: run gen.py --only big");
    return;
  }
  e.setOptions({qv::EditorOption::eoGroupUndo});  // the configured default: typing is one undo step
  e.executeCommand(qv::ecEditorBottom);
  for (auto _ : state) e.executeCommand(qv::ecChar, 'x');
  state.counters["peak_rss_MiB"] = peakRssMiB();
}
BENCHMARK(BM_TypeAtTheEnd)->Unit(benchmark::kMicrosecond);

void BM_TypeInTheMiddle(benchmark::State& state) {
  qv::Editor e;
  if (!e.loadFile(dataPath("big.txt")).ok) {
    state.SkipWithError("big.txt missing: run gen.py --only big");
    return;
  }
  e.setCaretXY({1, e.lineCount() / 2});
  for (auto _ : state) e.executeCommand(qv::ecChar, 'x');
}
BENCHMARK(BM_TypeInTheMiddle)->Unit(benchmark::kMicrosecond);

// One line of 20 MB: loading it and typing in its middle.
void BM_LongLine(benchmark::State& state) {
  const std::string path = "/tmp/qv-bench-long-line.txt";
  {
    std::ofstream out(path, std::ios::binary);
    std::string chunk(1 << 20, 'a');
    for (int i = 0; i < 20; ++i) out << chunk;
  }
  for (auto _ : state) {
    qv::Editor e;
    if (!e.loadFile(path).ok) {
      state.SkipWithError("could not write the long line");
      return;
    }
    e.setCaretXY({10'000'000, 1});
    for (int i = 0; i < 100; ++i) e.executeCommand(qv::ecChar, 'x');
    benchmark::DoNotOptimize(e.line(1).size());
  }
  std::remove(path.c_str());
  state.counters["peak_rss_MiB"] = peakRssMiB();
}
BENCHMARK(BM_LongLine)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
