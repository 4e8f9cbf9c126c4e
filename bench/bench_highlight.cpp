// Tokenising throughput of every built-in highlighter and of a definition-file highlighter, on
// gen.py's big.cpp (QV_BENCH_DATA, default /tmp/qv-bench) and on real files of each language found
// on this machine. Lines are scanned one by one with the range carried over, as the editor does.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "editor/highlighter.h"
#include "highlight/definition_file.h"
#include "highlight/languages/builtin_highlighters.h"

namespace {

namespace fs = std::filesystem;

// Real sources are read up to this many bytes per language, in path order (C/C++ reads all of
// /usr/include).
constexpr std::size_t kCorpusCap = 64u << 20;

// Text split into lines, with the lines where each file starts (the range restarts there).
struct Corpus {
  std::string text;
  std::vector<std::size_t> lineStarts;  // offsets; lineStarts.back() == text.size() + 1
  std::vector<std::size_t> fileStartLines;
  std::size_t files = 0;

  std::size_t lineCount() const { return lineStarts.empty() ? 0 : lineStarts.size() - 1; }
  std::string_view line(std::size_t i) const {
    std::size_t end = lineStarts[i + 1] - 1;  // without the LF
    if (end > lineStarts[i] && text[end - 1] == '\r') --end;
    return std::string_view(text).substr(lineStarts[i], end - lineStarts[i]);
  }

  void addFile(const std::string& bytes) {
    if (bytes.empty()) return;
    if (lineStarts.empty()) lineStarts.push_back(0);
    fileStartLines.push_back(lineCount());
    const std::size_t from = text.size();
    text += bytes;
    if (text.back() != '\n') text += '\n';
    for (std::size_t i = from; i < text.size(); ++i) {
      if (text[i] == '\n') lineStarts.push_back(i + 1);
    }
    ++files;
  }
};

std::string readFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return in ? std::string{std::istreambuf_iterator<char>(in), {}} : std::string();
}

std::string lowerExtension(const fs::path& p) {
  std::string e = p.extension().string();
  std::transform(e.begin(), e.end(), e.begin(), [](unsigned char c) { return std::tolower(c); });
  return e;
}

// Regular files under the roots whose extension is one of exts (every file when exts is empty).
Corpus realCorpus(const std::vector<fs::path>& roots, const std::vector<std::string>& exts,
                  std::size_t cap) {
  std::vector<fs::path> found;
  for (const auto& root : roots) {
    std::error_code ec;
    fs::recursive_directory_iterator it(root, fs::directory_options::skip_permission_denied, ec);
    for (; !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
      if (!it->is_regular_file(ec) || it->is_symlink(ec)) continue;
      if (!exts.empty() &&
          std::find(exts.begin(), exts.end(), lowerExtension(it->path())) == exts.end()) {
        continue;
      }
      found.push_back(it->path());
    }
  }
  std::sort(found.begin(), found.end());
  Corpus c;
  for (const auto& p : found) {
    if (c.text.size() >= cap) break;
    c.addFile(readFile(p));
  }
  return c;
}

std::string dataPath(const char* name) {
  const char* dir = std::getenv("QV_BENCH_DATA");
  return std::string(dir ? dir : "/tmp/qv-bench") + "/" + name;
}

// big_2mb.cpp as one line, as minified sources come: a scan that is not linear in the line's
// length shows here. Only words, numbers and a few operators are kept (the rest become blanks),
// so no comment or string of any language swallows the rest of the line.
const Corpus& oneLine() {
  static const Corpus c = [] {
    std::string text = readFile(dataPath("big_2mb.cpp"));
    for (char& ch : text) {
      const auto u = static_cast<unsigned char>(ch);
      if (!std::isalnum(u) && std::string_view("_()[]=+,.<>:").find(ch) == std::string_view::npos) {
        ch = ' ';
      }
    }
    Corpus k;
    k.addFile(text);
    return k;
  }();
  return c;
}

const Corpus& bigCpp() {
  static const Corpus c = [] {
    Corpus k;
    k.addFile(readFile(dataPath("big.cpp")));
    return k;
  }();
  return c;
}

fs::path definitionFolder() {
  if (const char* dir = std::getenv("QV_HIGHLIGHTERS")) return dir;
  return fs::path(__FILE__).parent_path().parent_path() / "src" / "resources" / "Highlighters";
}

// The definition-file highlighter the general engine is measured with.
constexpr const char* kDefinitionFile = "Shell.chl";

std::unique_ptr<qv::Highlighter> makeHighlighter(const std::string& name) {
  if (name != kDefinitionFile) return qv::MakeBuiltinHighlighter(name);
  qv::HighlighterDefinitions defs;
  if (!defs.loadFile(definitionFolder() / name) || defs.highlighters().empty()) return nullptr;
  return defs.highlighters().front()->clone();
}

// Scans every line; returns a checksum of token kinds and positions so nothing is optimised away.
std::uint64_t scan(qv::Highlighter& hl, const Corpus& c, std::uint64_t& tokens) {
  std::uint64_t sum = 0;
  std::size_t nextFile = 0;
  for (std::size_t i = 0; i < c.lineCount(); ++i) {
    if (nextFile < c.fileStartLines.size() && c.fileStartLines[nextFile] == i) {
      hl.resetRange();
      ++nextFile;
    }
    const qv::HighlighterRange range = hl.range();
    hl.setRange(range);
    hl.setLine(c.line(i), static_cast<int>(i));
    for (; !hl.eol(); hl.next()) {
      sum += static_cast<std::uint64_t>(hl.tokenKind()) * 31u + static_cast<unsigned>(hl.tokenPosition());
      ++tokens;
    }
  }
  return sum;
}

void runScan(benchmark::State& state, const std::string& highlighter, const Corpus* corpus) {
  if (corpus->text.empty()) return state.SkipWithError("no data (gen.py --only cpp, or no files)");
  auto hl = makeHighlighter(highlighter);
  if (!hl) return state.SkipWithError("highlighter could not be made");
  std::uint64_t tokens = 0;
  for (auto _ : state) {
    tokens = 0;
    benchmark::DoNotOptimize(scan(*hl, *corpus, tokens));
  }
  const double mb = static_cast<double>(corpus->text.size()) / 1e6;
  state.counters["MB_per_s"] =
      benchmark::Counter(mb, benchmark::Counter::kIsIterationInvariantRate);
  state.counters["corpus_MB"] = mb;
  state.counters["files"] = static_cast<double>(corpus->files);
  state.counters["tokens_per_line"] =
      static_cast<double>(tokens) / static_cast<double>(std::max<std::size_t>(corpus->lineCount(), 1));
}

struct RealSource {
  std::string highlighter;
  std::vector<fs::path> roots;
  std::vector<std::string> exts;
  std::size_t cap = kCorpusCap;
};

// Real files of each language on a Debian machine; languages with none here are measured on
// big.cpp only.
std::vector<RealSource> realSources() {
  return {
      {"hlCpp", {"/usr/include"}, {}, SIZE_MAX},
      {"hlPas", {"/usr/share/fpcsrc/3.2.2/rtl"}, {".pas", ".pp", ".inc"}},
      {"hlPerl", {"/usr/share/perl", "/usr/share/perl5", "/usr/lib/x86_64-linux-gnu/perl"},
       {".pm", ".pl"}},
      {"hlHtml", {"/usr/share/doc"}, {".html", ".htm"}},
      {"hlCSS", {"/usr/share", "/usr/lib"}, {".css"}},
      {"hlXML", {"/usr/share"}, {".xml", ".xsl", ".xsd", ".svg"}},
      {"hlPHP", {"/usr/share", "/usr/lib"}, {".php"}},
      {"hlSQL", {"/usr/share", "/usr/lib"}, {".sql"}},
      {"hlJavascript", {"/usr/share/nodejs", "/usr/lib/node_modules", "/usr/share/javascript"},
       {".js"}},
      {"hlPython", {"/usr/lib/python3"}, {".py"}},
      {"hlTCL", {"/usr/share/tcltk", "/usr/share/tcl"}, {".tcl"}},
      {"hlFortran", {"/usr/share", "/usr/lib"}, {".f", ".f90", ".for"}},
      {"hlTxt", {"/usr/share/doc"}, {".txt"}},
      {kDefinitionFile, {"/usr/share", "/usr/lib", "/usr/bin"}, {".sh"}},
  };
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  std::vector<std::string> names(qv::BuiltinHighlighterNames().begin(),
                                 qv::BuiltinHighlighterNames().end());
  names.emplace_back(kDefinitionFile);
  for (const auto& name : names) {
    benchmark::RegisterBenchmark(("big.cpp/" + name).c_str(), [name](benchmark::State& s) {
      runScan(s, name, &bigCpp());
    })->Unit(benchmark::kMillisecond);
  }
  for (const auto& name : names) {
    benchmark::RegisterBenchmark(("one_line/" + name).c_str(), [name](benchmark::State& s) {
      runScan(s, name, &oneLine());
    })->Unit(benchmark::kMillisecond);
  }
  // Corpora are read when their benchmark first runs, so a filter skips the reading too.
  static std::vector<std::unique_ptr<Corpus>> corpora;
  for (const auto& src : realSources()) {
    auto* slot = corpora.emplace_back(std::make_unique<Corpus>()).get();
    benchmark::RegisterBenchmark(("real/" + src.highlighter).c_str(),
                                 [src, slot](benchmark::State& s) {
                                   if (slot->text.empty()) *slot = realCorpus(src.roots, src.exts, src.cap);
                                   runScan(s, src.highlighter, slot);
                                 })
        ->Unit(benchmark::kMillisecond);
  }
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
