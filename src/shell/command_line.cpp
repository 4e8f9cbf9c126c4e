// Tokens, items and execution of the command language.
#include "shell/command_line.h"

#include <algorithm>
#include <climits>
#include <fstream>
#include <system_error>

namespace qv {
namespace fs = std::filesystem;

namespace {

constexpr int kTextErrorOpening = 3010;
constexpr int kTextErrorCaption = 3012;

fs::path BaseDir(const CommandLineEnv& env) {
  if (!env.currentDir.empty()) return env.currentDir;
  std::error_code ec;
  fs::path cwd = fs::current_path(ec);
  return ec ? fs::path("/") : cwd;
}

std::string Text(const CommandLineEnv& env, int id, const std::string& english) {
  return env.text ? env.text(id, english) : english;
}

// Replaces the first "%s"; the rest of the text is taken as it stands.
std::string FormatName(const std::string& pattern, const std::string& name) {
  const size_t at = pattern.find("%s");
  if (at == std::string::npos) return pattern;
  return pattern.substr(0, at) + name + pattern.substr(at + 2);
}

bool HasWildcard(std::string_view s) { return s.find_first_of("*?") != std::string_view::npos; }

char AsciiUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// A run of digits as a 1-based number: empty or zero gives 1, too large stops at INT32_MAX.
std::int32_t RunValue(std::string_view s, size_t& i) {
  std::int64_t value = 0;
  bool any = false;
  while (i < s.size() && IsDigit(s[i])) {
    any = true;
    value = std::min<std::int64_t>(value * 10 + (s[i] - '0'), INT32_MAX);
    ++i;
  }
  return (!any || value == 0) ? 1 : static_cast<std::int32_t>(value);
}

// Length of the character starting at name[i]: a whole UTF-8 sequence where there is one.
size_t CharLength(std::string_view name, size_t i) {
  const auto lead = static_cast<unsigned char>(name[i]);
  size_t len = lead < 0xC0 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : lead < 0xF8 ? 4 : 1;
  if (i + len > name.size()) return 1;
  for (size_t k = 1; k < len; ++k)
    if ((static_cast<unsigned char>(name[i + k]) & 0xC0) != 0x80) return 1;
  return len;
}

bool GlobMatch(std::string_view pattern, std::string_view name, size_t foldFrom) {
  size_t p = 0, n = 0;
  size_t starP = std::string_view::npos, starN = 0;
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      starP = p++;
      starN = n;
      continue;
    }
    if (p < pattern.size()) {
      if (pattern[p] == '?') {
        ++p;
        n += CharLength(name, n);
        continue;
      }
      const bool same = p >= foldFrom ? AsciiUpper(pattern[p]) == AsciiUpper(name[n]) : pattern[p] == name[n];
      if (same) {
        ++p;
        ++n;
        continue;
      }
    }
    if (starP == std::string_view::npos) return false;
    p = starP + 1;
    n = ++starN;
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

class PaintLock {
 public:
  PaintLock(CommandLineHost& host, bool take) : host_(take ? &host : nullptr) {
    if (host_) host_->beginPaintLock();
  }
  PaintLock(const PaintLock&) = delete;
  PaintLock& operator=(const PaintLock&) = delete;
  ~PaintLock() {
    if (host_) host_->endPaintLock();
  }

 private:
  CommandLineHost* host_;
};

}  // namespace

std::string TrimBlanks(std::string_view text) {
  size_t begin = 0, end = text.size();
  while (begin < end && static_cast<unsigned char>(text[begin]) <= ' ') ++begin;
  while (end > begin && static_cast<unsigned char>(text[end - 1]) <= ' ') --end;
  return std::string(text.substr(begin, end - begin));
}

bool IsAbsoluteFileArgument(std::string_view arg) {
  if (arg.size() < 2 || arg[0] != '/') return false;
  const size_t next = arg.find('/', 1);
  if (next == std::string_view::npos || next == 1) return false;
  const std::string top(arg.substr(0, next));
  if (top.find('\0') != std::string::npos) return false;
  std::error_code ec;
  return fs::is_directory(top, ec);
}

CommandLineTokens TokenizeCommandLine(const std::vector<std::string>& args) {
  CommandLineTokens out;
  for (const std::string& arg : args) {
    if (arg == "." || arg == "..") continue;
    out.hadArguments = true;
    if (arg.empty()) continue;
    if (arg[0] != '/' || IsAbsoluteFileArgument(arg)) {
      out.tokens.push_back(arg);
      continue;
    }
    size_t start = 0;
    while (start < arg.size()) {
      size_t next = arg.find('/', start + 1);
      if (next == std::string::npos) next = arg.size();
      if (next - start > 1) out.tokens.push_back(arg.substr(start, next - start));
      start = next;
    }
  }
  return out;
}

bool WildcardMatch(std::string_view pattern, std::string_view name) {
  const size_t dot = pattern.rfind('.');
  const size_t foldFrom = dot == std::string_view::npos ? pattern.size() : dot + 1;
  if (GlobMatch(pattern, name, foldFrom)) return true;
  // "name.*" also names "name" with no extension at all.
  if (pattern.size() >= 2 && pattern.substr(pattern.size() - 2) == ".*" &&
      name.find('.') == std::string_view::npos)
    return GlobMatch(pattern.substr(0, pattern.size() - 2), name, pattern.size());
  return false;
}

std::vector<std::string> ExpandFileArgument(const std::string& arg, const fs::path& currentDir) {
  if (!HasWildcard(arg)) return {arg};
  const size_t slash = arg.rfind('/');
  const std::string prefix = slash == std::string::npos ? std::string() : arg.substr(0, slash + 1);
  const std::string pattern = arg.substr(prefix.size());
  if (pattern.empty() || HasWildcard(prefix) || arg.find('\0') != std::string::npos) return {};
  const fs::path folder = prefix.empty() ? currentDir
                          : fs::path(prefix).is_absolute() ? fs::path(prefix)
                                                           : currentDir / prefix;
  std::vector<std::string> names;
  std::error_code ec;
  fs::directory_iterator it(folder, fs::directory_options::skip_permission_denied, ec);
  for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
    const std::string found = it->path().filename().string();
    if (!WildcardMatch(pattern, found)) continue;
    std::error_code typeError;
    if (it->is_directory(typeError)) continue;
    names.push_back(found);
  }
  std::sort(names.begin(), names.end());
  for (std::string& name : names) name = CanonicalFileName(prefix + name, currentDir);
  return names;
}

std::vector<std::string> ReadListFile(const std::string& listFile, const fs::path& currentDir, bool& error) {
  error = false;
  std::vector<std::string> names;
  const fs::path path = fs::path(listFile).is_absolute() ? fs::path(listFile) : currentDir / listFile;
  std::error_code ec;
  const fs::file_status status = fs::status(path, ec);
  // Devices (/dev/zero and the like) never end; a folder is not a list.
  if (listFile.empty() || listFile.find('\0') != std::string::npos ||
      (!fs::is_regular_file(status) && !fs::is_fifo(status))) {
    error = true;
    return names;
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = true;
    return names;
  }
  const fs::path folder = path.parent_path();
  auto take = [&](std::string_view line) {
    std::string name = TrimBlanks(line);
    if (name.empty() || name.find('\0') != std::string::npos) return;
    // Names are taken against the list's own folder, also those of files still to be made.
    if (!fs::path(name).is_absolute()) name = (folder / name).lexically_normal().string();
    names.push_back(CanonicalFileName(name, folder));
  };
  // Read in blocks so that one endless line cannot take all memory: a line longer than any
  // file name can be is skipped.
  constexpr size_t kMaxLine = 64 * 1024;
  std::string line;
  bool skipping = false;
  std::string block(64 * 1024, '\0');
  while (in.read(block.data(), static_cast<std::streamsize>(block.size())) || in.gcount() > 0) {
    const std::string_view data(block.data(), static_cast<size_t>(in.gcount()));
    size_t start = 0;
    while (start < data.size()) {
      const size_t end = data.find('\n', start);
      const std::string_view piece = data.substr(start, (end == std::string_view::npos ? data.size() : end) - start);
      if (!skipping) line += piece;
      if (line.size() > kMaxLine) {
        line.clear();
        skipping = true;
      }
      if (end == std::string_view::npos) break;
      if (!skipping) take(line);
      line.clear();
      skipping = false;
      start = end + 1;
    }
  }
  if (!skipping) take(line);
  if (in.bad()) error = true;
  return names;
}

std::vector<CommandLineItem> ParseCommandLineItems(const std::vector<std::string>& tokens, CommandLineHost& host,
                                                   const CommandLineEnv& env) {
  const fs::path base = BaseDir(env);
  std::vector<CommandLineItem> items;
  for (size_t i = 0; i < tokens.size(); ++i) {
    const std::string& token = tokens[i];
    if (token.find('\0') != std::string::npos) continue;
    if (token.empty() || token[0] != '/' || IsAbsoluteFileArgument(token)) {
      CommandLineItem item;
      item.files = ExpandFileArgument(token, base);
      if (item.files.size() == 1 && host.isProjectFile(item.files[0])) {
        item.kind = CommandLineKind::Project;
        item.projectFile = item.files[0];
        item.files.clear();
      }
      items.push_back(std::move(item));
      continue;
    }
    std::string rest = token.substr(1);
    std::transform(rest.begin(), rest.end(), rest.begin(), AsciiUpper);
    if (rest.empty()) continue;
    if (rest[0] == 'G') {
      size_t at = 1;
      CommandLineItem item;
      item.kind = CommandLineKind::GoTo;
      item.column = RunValue(rest, at) - 1;
      while (at < rest.size() && !IsDigit(rest[at])) ++at;
      item.line = RunValue(rest, at) - 1;
      items.push_back(std::move(item));
      continue;
    }
    if (rest.size() != 1) continue;
    const char letter = rest[0];
    const bool needsValue = letter == 'P' || letter == 'M' || letter == 'I';
    if (needsValue && i + 1 >= tokens.size()) continue;
    CommandLineItem item;
    switch (letter) {
      case 'P':
        item.kind = CommandLineKind::Print;
        item.files = ExpandFileArgument(tokens[++i], base);
        break;
      case 'M': {
        item.kind = CommandLineKind::Macro;
        std::string value = tokens[++i];
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
        item.macroName = std::move(value);
        break;
      }
      case 'I': {
        item.kind = CommandLineKind::List;
        const std::string& listFile = tokens[++i];
        bool error = false;
        item.files = ReadListFile(listFile, base, error);
        if (error && env.prompter)
          env.prompter->message(Text(env, kTextErrorCaption, "Error"),
                                FormatName(Text(env, kTextErrorOpening, "Error opening '%s'."), listFile),
                                MsgIcon::Error, MsgButtons::Ok);
        break;
      }
      case 'R': item.kind = CommandLineKind::ReadOnly; break;
      case 'S': item.kind = CommandLineKind::Save; break;
      case 'C': item.kind = CommandLineKind::Close; break;
      case 'E': item.kind = CommandLineKind::Exit; break;
      default: continue;
    }
    items.push_back(std::move(item));
  }
  return items;
}

void ExecuteCommandLineItems(const std::vector<CommandLineItem>& items, CommandLineHost& host) {
  size_t fileCount = 0;
  for (const CommandLineItem& item : items)
    if (item.kind == CommandLineKind::Open || item.kind == CommandLineKind::List) fileCount += item.files.size();
  {
    PaintLock lock(host, fileCount > 2);
    std::vector<DocumentHandle> targets;
    auto addTarget = [&](DocumentHandle doc) {
      if (std::find(targets.begin(), targets.end(), doc) == targets.end()) targets.push_back(doc);
    };
    for (const CommandLineItem& item : items) {
      switch (item.kind) {
        case CommandLineKind::Open:
        case CommandLineKind::List:
          targets.clear();
          // A lone file that is missing becomes a new document of that name; among several
          // files a missing one is reported instead.
          for (const std::string& name : item.files) {
            // Only a document this open produced joins the targets, never one that was
            // merely active when an open failed.
            bool opened = true;
            if (fileCount < 2)
              host.openFileFromCommandLine(name);
            else
              opened = host.openFile(name);
            if (opened)
              if (auto doc = host.activeDocument()) addTarget(*doc);
          }
          break;
        case CommandLineKind::Project:
          targets.clear();
          for (DocumentHandle doc : host.openProjectFile(item.projectFile)) addTarget(doc);
          break;
        case CommandLineKind::Print:
          targets.clear();
          for (const std::string& name : item.files)
            if (!name.empty()) host.printFile(name);
          break;
        case CommandLineKind::GoTo:
          for (DocumentHandle doc : targets) host.goTo(doc, item.column, item.line);
          break;
        case CommandLineKind::Macro:
          for (DocumentHandle doc : targets) host.playMacro(doc, item.macroName);
          break;
        case CommandLineKind::ReadOnly:
          for (DocumentHandle doc : targets) host.lock(doc);
          break;
        case CommandLineKind::Save:
          for (DocumentHandle doc : targets) host.save(doc);
          break;
        case CommandLineKind::Close:
          for (DocumentHandle doc : targets) host.close(doc);
          targets.clear();
          break;
        case CommandLineKind::Exit:
          host.postCloseRequest();
          break;
      }
    }
  }
  const bool onlyPrint = !items.empty() && std::all_of(items.begin(), items.end(), [](const CommandLineItem& item) {
    return item.kind == CommandLineKind::Print;
  });
  if (onlyPrint && host.documentWindowCount() == 0) host.postCloseRequest();
}

bool ProcessCommandLine(const std::vector<std::string>& args, CommandLineHost& host, const CommandLineEnv& env) {
  const CommandLineTokens tokens = TokenizeCommandLine(args);
  if (!tokens.hadArguments) return false;
  ExecuteCommandLineItems(ParseCommandLineItems(tokens.tokens, host, env), host);
  return true;
}

}  // namespace qv
