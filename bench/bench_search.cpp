// Find speed on big.txt: plain and regular-expression engines over the text buffer, against grep.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include <unistd.h>

#include "editor/editor.h"
#include "editor/search_plain.h"
#include "editor/search_regex.h"
#include "editor/search_replace.h"
#include "editor/text_buffer.h"

namespace {

constexpr const char* kNeedle = "XYZZY_needle";

std::string DataFile(const char* name) {
  const char* dir = std::getenv("QV_BENCH_DATA");
  return std::string(dir ? dir : "/tmp/qv-bench") + "/" + name;
}

// big.txt in one string and in a text buffer, loaded once.
struct BigText {
  std::string bytes;
  qv::TextBuffer buffer;
  bool ok = false;
  BigText() {
    std::ifstream in(DataFile("big.txt"), std::ios::binary);
    if (!in) return;
    bytes.assign(std::istreambuf_iterator<char>(in), {});
    buffer.loadBytes(bytes);
    ok = true;
  }
};

BigText& Big() {
  static BigText big;
  return big;
}

// Counts the hit lines as the find-all of a document does: each line searched on its own.
std::int64_t CountLinesWithHits(qv::SearchEngine& engine, const qv::TextBuffer& buffer) {
  std::int64_t lines = 0;
  for (int i = 0; i < buffer.lineCount(); ++i) {
    std::string_view line = buffer.line(i);
    if (engine.find(line, 0, line.size(), false)) ++lines;
  }
  return lines;
}

void BM_GrepCountF(benchmark::State& state) {
  if (!Big().ok) return state.SkipWithError("no big.txt: run gen.py --only big");
  const std::string cmd = std::string("grep -cF ") + kNeedle + " " + DataFile("big.txt");
  long lines = 0;
  for (auto _ : state) {
    FILE* p = popen(cmd.c_str(), "r");
    if (!p) return state.SkipWithError("grep did not start");
    if (std::fscanf(p, "%ld", &lines) != 1) lines = -1;
    pclose(p);
  }
  state.counters["lines"] = static_cast<double>(lines);
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(Big().bytes.size()));
}
BENCHMARK(BM_GrepCountF)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_PlainWholeText(benchmark::State& state) {
  if (!Big().ok) return state.SkipWithError("no big.txt");
  qv::PlainSearch engine;
  engine.setPattern(kNeedle, {true, false});
  std::int64_t hits = 0;
  for (auto _ : state) {
    hits = 0;
    engine.findEach(Big().bytes, 0, Big().bytes.size(), [&](const qv::SearchHit&) {
      ++hits;
      return true;
    });
  }
  state.counters["hits"] = static_cast<double>(hits);
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(Big().bytes.size()));
}
BENCHMARK(BM_PlainWholeText)->Unit(benchmark::kMillisecond);

void BM_PerLine(benchmark::State& state, bool regex, bool matchCase) {
  if (!Big().ok) return state.SkipWithError("no big.txt");
  auto engine = qv::MakeSearchEngine(regex);
  engine->setPattern(kNeedle, {matchCase, false});
  std::int64_t lines = 0;
  for (auto _ : state) lines = CountLinesWithHits(*engine, Big().buffer);
  state.counters["lines"] = static_cast<double>(lines);
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(Big().bytes.size()));
}
BENCHMARK_CAPTURE(BM_PerLine, plain_case, false, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_PerLine, plain_nocase, false, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_PerLine, regex_case, true, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_PerLine, regex_nocase, true, false)->Unit(benchmark::kMillisecond);

qv::Editor& BigEditor() {
  static qv::Editor* editor = [] {
    auto* e = new qv::Editor;
    e->loadBytes(Big().bytes);
    return e;
  }();
  return *editor;
}

// Find Next from the top until no hit is left: every hit once, the whole text scanned once.
void BM_EditorFindEveryHit(benchmark::State& state, bool regex) {
  if (!Big().ok) return state.SkipWithError("no big.txt");
  qv::Editor& editor = BigEditor();
  auto engine = qv::MakeSearchEngine(regex);
  int hits = 0;
  for (auto _ : state) {
    editor.setCaretXY({1, 1});
    hits = 0;
    while (qv::SearchReplace(editor, *engine, kNeedle, "", {}).count == 1) ++hits;
  }
  state.counters["hits"] = hits;
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(Big().bytes.size()));
}
BENCHMARK_CAPTURE(BM_EditorFindEveryHit, plain, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_EditorFindEveryHit, regex, true)->Unit(benchmark::kMillisecond);

double CurrentRssMiB() {
  std::ifstream statm("/proc/self/statm");
  long pages = 0, resident = 0;
  if (!(statm >> pages >> resident)) return 0;
  return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

// Replace all from the top, then undo it (both timed; the text is whole again afterwards).
// The counters give the undo history's text and the resident memory the replace-all added.
void BM_ReplaceAllAndUndo(benchmark::State& state, const char* search, const char* replaceWith) {
  if (!Big().ok) return state.SkipWithError("no big.txt");
  qv::Editor& editor = BigEditor();
  qv::PlainSearch engine;
  qv::SearchReplaceOptions all;
  all.replaceAll = true;
  all.matchCase = true;
  int count = 0;
  double undoMiB = 0, addedMiB = 0;
  for (auto _ : state) {
    editor.setCaretXY({1, 1});
    const double before = CurrentRssMiB();
    count = qv::SearchReplace(editor, engine, search, replaceWith, all).count;
    addedMiB = std::max(addedMiB, CurrentRssMiB() - before);  // later rounds reuse freed memory
    undoMiB = static_cast<double>(editor.undoTextBytes()) / (1024.0 * 1024.0);
    editor.undo();
  }
  state.counters["replaced"] = count;
  state.counters["undo_text_MiB"] = undoMiB;
  state.counters["rss_added_MiB"] = addedMiB;
  state.counters["lines_after_undo"] = editor.lineCount();
}
BENCHMARK_CAPTURE(BM_ReplaceAllAndUndo, word_return, "return", "yield")
    ->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_CAPTURE(BM_ReplaceAllAndUndo, underscore_6M, "_", "__")
    ->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace

BENCHMARK_MAIN();
