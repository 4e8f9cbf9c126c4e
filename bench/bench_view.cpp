// Rendering speed of the editor view: opening a 100 MB file to its first painted screen, a screen
// at the start, middle and end of it, and a file that is one 20 MB line, scrolled sideways and
// typed into, plain and highlighted.
#include <QApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "editor/editor.h"
#include "editor/ui/editor_view.h"
#include "highlight/languages/builtin_highlighters.h"

namespace {

std::string DataFile(const char* name) {
  const char* dir = std::getenv("QV_BENCH_DATA");
  return std::string(dir ? dir : "/tmp/qv-bench") + "/" + name;
}

struct Fixture {
  qv::Editor editor;
  std::unique_ptr<qv::EditorView> view;
  QImage image{1000, 800, QImage::Format_RGB32};

  Fixture() {
    view = std::make_unique<qv::EditorView>(editor);
    view->resize(1000, 800);
  }
  void render() {
    QPainter p(&image);
    view->viewport()->render(&p);
  }
};

Fixture& BigText() {
  static Fixture f;
  static const bool loaded = [] {
    const auto r = f.editor.loadFile(DataFile("big.txt"));
    if (!r.ok) std::abort();
    return true;
  }();
  (void)loaded;
  return f;
}

std::string MinifiedLine() {
  std::string line;
  line.reserve(20 << 20);
  while (line.size() < (20u << 20)) line += "{\"key\":\"value\",\"n\":12345,\"list\":[1,2,3]},";
  return line;
}

Fixture& LongLine() {
  static Fixture f;
  static const bool loaded = [] {
    f.editor.setText(MinifiedLine());
    return true;
  }();
  (void)loaded;
  return f;
}

// The same line coloured by the JavaScript highlighter, as a minified script would be.
Fixture& HighlightedLongLine() {
  static Fixture f;
  static std::unique_ptr<qv::Highlighter> js = qv::MakeBuiltinHighlighter("hlJavascript");
  static const bool loaded = [] {
    f.editor.setText(MinifiedLine());
    f.view->setHighlighter(js.get());
    return true;
  }();
  (void)loaded;
  return f;
}

// Opening: read the file, choose how its bytes are shown, paint the first screen.
void BM_OpenBigFileToFirstScreen(benchmark::State& state) {
  for (auto _ : state) {
    Fixture f;
    if (!f.editor.loadFile(DataFile("big.txt")).ok) {
      state.SkipWithError("no big.txt: run gen.py");
      return;
    }
    f.view->chooseCharsetFromText();
    f.render();
  }
}
BENCHMARK(BM_OpenBigFileToFirstScreen)->Iterations(3)->Unit(benchmark::kMillisecond);

void BM_BigFileScreenAt(benchmark::State& state) {
  Fixture& f = BigText();
  const int line = std::max(1, static_cast<int>(f.editor.lineCount() * state.range(0) / 100));
  f.editor.setCaretXY({1, line});
  f.view->ensureCaretVisible();
  for (auto _ : state) f.render();
}
BENCHMARK(BM_BigFileScreenAt)->Arg(0)->Arg(50)->Arg(100)->Unit(benchmark::kMillisecond);

void BM_BigFileTypeAtEnd(benchmark::State& state) {
  Fixture& f = BigText();
  f.editor.setCaretXY({1, f.editor.lineCount()});
  for (auto _ : state) {
    f.editor.executeCommand(qv::ecChar, 'x');
    f.view->ensureCaretVisible();
    f.render();
  }
}
BENCHMARK(BM_BigFileTypeAtEnd)->Unit(benchmark::kMillisecond);

void BM_LongLineScreenAt(benchmark::State& state) {
  Fixture& f = LongLine();
  const int size = static_cast<int>(f.editor.line(1).size());
  f.editor.setCaretXY({static_cast<int>(std::int64_t(size) * state.range(0) / 100) + 1, 1});
  f.view->ensureCaretVisible();
  for (auto _ : state) f.render();
}
BENCHMARK(BM_LongLineScreenAt)->Arg(0)->Arg(50)->Arg(100)->Unit(benchmark::kMillisecond);

void BM_LongLineTypeAtEnd(benchmark::State& state) {
  Fixture& f = LongLine();
  f.editor.setCaretXY({static_cast<int>(f.editor.line(1).size()) + 1, 1});
  for (auto _ : state) {
    f.editor.executeCommand(qv::ecChar, 'x');
    f.view->ensureCaretVisible();
    f.render();
  }
}
BENCHMARK(BM_LongLineTypeAtEnd)->Unit(benchmark::kMillisecond);

void BM_HighlightedLongLineTypeAtEnd(benchmark::State& state) {
  Fixture& f = HighlightedLongLine();
  f.editor.setCaretXY({static_cast<int>(f.editor.line(1).size()) + 1, 1});
  for (auto _ : state) {
    f.editor.executeCommand(qv::ecChar, 'x');
    f.view->ensureCaretVisible();
    f.render();
  }
}
BENCHMARK(BM_HighlightedLongLineTypeAtEnd)->Unit(benchmark::kMillisecond);

// The 20 MB line under word wrap: typing at its end, where the caret's row is far down.
void BM_WrappedLongLineTypeAtEnd(benchmark::State& state) {
  static Fixture f;
  static const bool loaded = [] {
    f.editor.setText(MinifiedLine());
    f.view->setWordWrap(true);
    return true;
  }();
  (void)loaded;
  f.editor.setCaretXY({static_cast<int>(f.editor.line(1).size()) + 1, 1});
  for (auto _ : state) {
    f.editor.executeCommand(qv::ecChar, 'x');
    f.view->ensureCaretVisible();
    f.render();
  }
}
BENCHMARK(BM_WrappedLongLineTypeAtEnd)->Unit(benchmark::kMillisecond);

// Scrolling sideways by a screen at a time through the middle of the line.
void BM_LongLineScrollSideways(benchmark::State& state) {
  Fixture& f = HighlightedLongLine();
  int left = 10'000'000;
  for (auto _ : state) {
    f.editor.setLeftChar(left);
    f.render();
    left += f.editor.charsInWindow();
  }
}
BENCHMARK(BM_LongLineScrollSideways)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
