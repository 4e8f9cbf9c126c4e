// Fuzzes the command language: arguments (one a line) through tokens, items and execution.
// fuzz-link: qv_shell qv_platform
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "shell/command_line.h"

namespace {
namespace fs = std::filesystem;

// A main window that does nothing but check that it is only asked sensible things.
struct QuietHost : qv::CommandLineHost {
  qv::DocumentHandle next = 0;
  int paintLevel = 0;
  void openFileFromCommandLine(const std::string&) override { ++next; }
  bool openFile(const std::string& name) override { return ++next % 2 == 0 || name.empty(); }
  std::optional<qv::DocumentHandle> activeDocument() const override {
    if (next == 0) return std::nullopt;
    return next;
  }
  bool isProjectFile(const std::string& name) override { return name.size() % 7 == 0; }
  std::vector<qv::DocumentHandle> openProjectFile(const std::string&) override { return {++next, ++next}; }
  void printFile(const std::string& name) override {
    if (name.empty()) std::abort();  // empty names are never printed
  }
  int documentWindowCount() const override { return static_cast<int>(next); }
  void goTo(qv::DocumentHandle, std::int32_t column, std::int32_t line) override {
    if (column < 0 || line < 0) std::abort();
  }
  void playMacro(qv::DocumentHandle, const std::string&) override {}
  void lock(qv::DocumentHandle) override {}
  void save(qv::DocumentHandle) override {}
  void close(qv::DocumentHandle) override {}
  void postCloseRequest() override {}
  void beginPaintLock() override { ++paintLevel; }
  void endPaintLock() override { --paintLevel; }
};

// A small folder of files for wildcards and list files to find.
const fs::path& Fixture() {
  static const fs::path dir = [] {
    std::string pattern = (fs::temp_directory_path() / "qvfuzz-cmd-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) std::abort();
    const fs::path d = pattern;
    for (const char* name : {"a.txt", "B.TXT", "c.cpr", "list.lst"}) std::ofstream(d / name) << "a.txt\n*.txt\n";
    fs::create_directories(d / "sub.txt");
    return d;
  }();
  return dir;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
  std::vector<std::string> args;
  std::string current;
  for (size_t i = 0; i < size; ++i) {
    if (data[i] == '\n') {
      args.push_back(std::move(current));
      current.clear();
    } else {
      current += static_cast<char>(data[i]);
    }
  }
  args.push_back(std::move(current));

  QuietHost host;
  const qv::CommandLineTokens tokens = qv::TokenizeCommandLine(args);
  for (const std::string& token : tokens.tokens)
    if (token.empty() || (token[0] == '/' && token.size() < 2)) std::abort();
  const auto items = qv::ParseCommandLineItems(tokens.tokens, host, {Fixture(), nullptr, {}});
  if (!tokens.hadArguments && !items.empty()) std::abort();
  qv::ExecuteCommandLineItems(items, host);
  if (host.paintLevel != 0) std::abort();  // every lock is released
  return 0;
}
