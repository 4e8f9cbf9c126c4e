// Text buffer speed and memory: loading big.txt, inserting a line in the middle of it, typing at
// its end, and a 20 MB single line. Data: gen.py --only big (QV_BENCH_DATA, default /tmp/qv-bench).
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "editor/editor.h"
#include "editor/text_buffer.h"

namespace {

std::string dataPath(const char* name) {
  const char* dir = std::getenv("QV_BENCH_DATA");
  return std::string(dir ? dir : "/tmp/qv-bench") + "/" + name;
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
