// Loading and saving a 100 MB document in every text format: time and peak memory of each.
// Data: gen.py --only big (QV_BENCH_DATA, default /tmp/qv-bench); the format variants of big.txt
// are written beside it on first use. Each operation runs in a child process of its own, so its
// peak resident memory is its own and not the largest of everything run before it.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <string_view>

#include "documents/document.h"
#include "documents/text_format.h"
#include "platform/prompter.h"

namespace {

namespace fs = std::filesystem;
using qv::TTextFormat;

std::string dataPath(const std::string& name) {
  const char* dir = std::getenv("QV_BENCH_DATA");
  return std::string(dir ? dir : "/tmp/qv-bench") + "/" + name;
}

struct Variant {
  const char* file;
  TTextFormat format;
};

// Indexed by the benchmark argument.
constexpr Variant kVariants[] = {
    {"big_crlf.txt", TTextFormat::tfNormal},
    {"big_lf.txt", TTextFormat::tfUnix},
    {"big_cr.txt", TTextFormat::tfMac},
    {"big_utf16le.txt", TTextFormat::tfUnicode},
    {"big_utf16be.txt", TTextFormat::tfUnicodeBigEndian},
    {"big_utf8bom.txt", TTextFormat::tfUTF8},
};

void appendUnit(std::string& out, std::uint32_t unit, bool bigEndian) {
  const char lo = static_cast<char>(unit & 0xFF), hi = static_cast<char>(unit >> 8);
  out += bigEndian ? hi : lo;
  out += bigEndian ? lo : hi;
}

// UTF-8 text as UTF-16 code units (big.txt is ASCII, but stay correct for any valid UTF-8).
std::string toUtf16(std::string_view text, bool bigEndian) {
  std::string out;
  out.reserve(text.size() * 2);
  for (std::size_t i = 0; i < text.size();) {
    const auto c = static_cast<unsigned char>(text[i]);
    const int len = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
    std::uint32_t cp = len == 1 ? c : c & (0x3F >> (len - 1));
    for (int k = 1; k < len && i + k < text.size(); ++k) {
      cp = (cp << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
    }
    i += len;
    if (cp >= 0x10000) {
      cp -= 0x10000;
      appendUnit(out, 0xD800 + (cp >> 10), bigEndian);
      appendUnit(out, 0xDC00 + (cp & 0x3FF), bigEndian);
    } else {
      appendUnit(out, cp, bigEndian);
    }
  }
  return out;
}

// big.txt (LF breaks) rewritten in a format; the marked formats get CR LF, as a Windows file has.
std::string variantBytes(const std::string& lf, TTextFormat format) {
  std::string_view brk = "\r\n";
  if (format == TTextFormat::tfUnix) brk = "\n";
  if (format == TTextFormat::tfMac) brk = "\r";
  std::string text;
  text.reserve(lf.size() + lf.size() / 16);
  for (const char c : lf) {
    if (c == '\n') {
      text += brk;
    } else {
      text += c;
    }
  }
  switch (format) {
    case TTextFormat::tfUnicode:
      return "\xFF\xFE" + toUtf16(text, false);
    case TTextFormat::tfUnicodeBigEndian:
      return "\xFE\xFF" + toUtf16(text, true);
    case TTextFormat::tfUTF8:
      return "\xEF\xBB\xBF" + text;
    default:
      return text;
  }
}

// The variant's path, written from big.txt (its first prefixBytes, when given) when missing;
// empty when big.txt is missing.
std::string variantFile(const Variant& v, std::size_t prefixBytes = 0) {
  const std::string path =
      prefixBytes ? dataPath(std::to_string(prefixBytes >> 20) + "MB_" + v.file) : dataPath(v.file);
  std::error_code ec;
  if (fs::exists(path, ec)) return path;
  std::ifstream in(dataPath("big.txt"), std::ios::binary);
  if (!in) return {};
  std::string lf{std::istreambuf_iterator<char>(in), {}};
  if (prefixBytes && prefixBytes < lf.size()) lf.resize(lf.rfind('\n', prefixBytes) + 1);
  const std::string tmp = path + ".part";
  {
    std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
    const std::string bytes = variantBytes(lf, v.format);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out.flush()) return {};
  }
  fs::rename(tmp, path, ec);
  return ec ? std::string() : path;
}

double residentMiB() {
  std::ifstream statm("/proc/self/statm");
  long pages = 0, resident = 0;
  if (!(statm >> pages >> resident)) return 0;
  return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / 1048576.0;
}

// Lowers the peak the kernel reports to what is resident now (Linux "clear_refs" 5).
void resetPeak() {
  const int fd = ::open("/proc/self/clear_refs", O_WRONLY);
  if (fd < 0) return;
  [[maybe_unused]] const auto n = ::write(fd, "5", 1);
  ::close(fd);
}

double cpuSeconds() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  const auto secs = [](const timeval& t) { return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6; };
  return secs(u.ru_utime) + secs(u.ru_stime);
}

double peakMiB() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return static_cast<double>(u.ru_maxrss) / 1024.0;
}

// An operation still running after this long is given up.
constexpr unsigned kChildSeconds = 120;

struct Sample {
  bool ok = false;
  double seconds = 0;     // wall clock
  double cpuSeconds = 0;  // user and system: what a busy machine does not inflate
  double baseMiB = 0;  // resident before the operation
  double peakMiB = 0;  // peak during it
};

// Runs prepare() then op() in a child process and reports the time and memory of op() alone.
Sample measureInChild(const std::function<bool()>& prepare, const std::function<bool()>& op) {
  int fds[2];
  if (::pipe(fds) != 0) return {};
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::close(fds[0]);
    ::alarm(kChildSeconds);  // a pathological case ends as a failure instead of hanging
    Sample s;
    if (prepare()) {
      resetPeak();
      s.baseMiB = residentMiB();
      const double cpu0 = cpuSeconds();
      const auto t0 = std::chrono::steady_clock::now();
      s.ok = op();
      s.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
      s.cpuSeconds = cpuSeconds() - cpu0;
      s.peakMiB = peakMiB();
    }
    [[maybe_unused]] const auto n = ::write(fds[1], &s, sizeof s);
    ::_exit(0);
  }
  ::close(fds[1]);
  Sample s;
  if (pid < 0 || ::read(fds[0], &s, sizeof s) != static_cast<ssize_t>(sizeof s)) s = {};
  ::close(fds[0]);
  if (pid > 0) ::waitpid(pid, nullptr, 0);
  return s;
}

struct Services {
  qv::HeadlessPrompter prompter;
  qv::DocumentServices services;
  Services() {
    services.prompter = &prompter;
    services.settings.backup.backup = false;
  }
};

void report(benchmark::State& state, const Sample& s, const std::string& path) {
  std::error_code ec;
  const double fileMiB = static_cast<double>(fs::file_size(path, ec)) / 1048576.0;
  state.SetIterationTime(s.seconds);
  state.counters["cpu_ms"] = s.cpuSeconds * 1000;
  state.counters["file_MiB"] = fileMiB;
  state.counters["base_rss_MiB"] = s.baseMiB;
  state.counters["peak_rss_MiB"] = s.peakMiB;
  // Memory the operation added, against the file size: 1.0 means one copy of the file.
  state.counters["extra_per_file"] = fileMiB > 0 ? (s.peakMiB - s.baseMiB) / fileMiB : 0;
  state.counters["MB_per_cpu_s"] = s.cpuSeconds > 0 ? fileMiB * 1.048576 / s.cpuSeconds : 0;
}

void BM_Load(benchmark::State& state) {
  const Variant& v = kVariants[state.range(0)];
  const std::string path = variantFile(v);
  if (path.empty()) return state.SkipWithError("big.txt missing: run gen.py --only big");
  state.SetLabel(qv::TextFormatStatusText(v.format).data());
  for (auto _ : state) {
    Services env;
    std::unique_ptr<qv::Document> doc;
    const Sample s = measureInChild(
        [&] {
          doc = std::make_unique<qv::Document>(env.services);
          return true;
        },
        [&] { return doc->LoadFromFile(path, false) && doc->TextFormat() == v.format; });
    if (!s.ok) return state.SkipWithError("loading failed, took over 120 s or got the wrong format");
    report(state, s, path);
  }
}

void BM_Save(benchmark::State& state) {
  const Variant& v = kVariants[state.range(0)];
  const std::string source = variantFile(v);
  if (source.empty()) return state.SkipWithError("big.txt missing: run gen.py --only big");
  state.SetLabel(qv::TextFormatStatusText(v.format).data());
  const std::string target = source + ".saved";
  for (auto _ : state) {
    std::error_code ec;
    fs::copy_file(source, target, fs::copy_options::overwrite_existing, ec);
    if (ec) return state.SkipWithError("cannot copy the file to save over");
    Services env;
    std::unique_ptr<qv::Document> doc;
    const Sample s = measureInChild(
        [&] {
          doc = std::make_unique<qv::Document>(env.services);
          return doc->LoadFromFile(target, false);
        },
        [&] { return doc->Save(false); });
    if (!s.ok) return state.SkipWithError("loading or saving failed or took over 120 s");
    if (fs::file_size(target, ec) != fs::file_size(source, ec)) {
      return state.SkipWithError("the saved file differs in size from the loaded one");
    }
    report(state, s, target);
  }
  std::error_code ec;
  fs::remove(target, ec);
}

// Load time of CR files of growing size: time that grows faster than the size shows work
// repeated per line.
void BM_LoadCrGrowing(benchmark::State& state) {
  const Variant& v = kVariants[2];
  const std::string path = variantFile(v, static_cast<std::size_t>(state.range(0)) << 20);
  if (path.empty()) return state.SkipWithError("big.txt missing: run gen.py --only big");
  for (auto _ : state) {
    Services env;
    std::unique_ptr<qv::Document> doc;
    const Sample s = measureInChild(
        [&] {
          doc = std::make_unique<qv::Document>(env.services);
          return true;
        },
        [&] { return doc->LoadFromFile(path, false); });
    if (!s.ok) return state.SkipWithError("loading failed or took over 120 s");
    report(state, s, path);
  }
}
BENCHMARK(BM_LoadCrGrowing)->Arg(1)->Arg(2)->Arg(4)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);

void AllFormats(benchmark::internal::Benchmark* b) {
  for (int i = 0; i < static_cast<int>(std::size(kVariants)); ++i) b->Arg(i);
  b->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(3);
}

BENCHMARK(BM_Load)->Apply(AllFormats);
BENCHMARK(BM_Save)->Apply(AllFormats);

}  // namespace

BENCHMARK_MAIN();
