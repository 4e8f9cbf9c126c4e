// The position history and its file.
#include "documents/file_pos_history.h"

#include <algorithm>
#include <climits>
#include <fstream>

#include "documents/atomic_file.h"
#include "editor/editor.h"
#include "highlight/highlighter_table.h"
#include "platform/folders.h"

namespace qv {

namespace {

// A history file larger than this is no history the program wrote; it is left alone.
constexpr std::uintmax_t kMaxFileBytes = 64u * 1024 * 1024;

// Reads the numbers of one line as the file format has them.
class LineReader {
 public:
  explicit LineReader(std::string_view s) : s_(s) {}

  // Skips blanks and "():,;", then takes the decimal digits (none gives 0, no sign).
  int number() {
    while (pos_ < s_.size() && std::string_view(" (),:;").find(s_[pos_]) != std::string_view::npos) ++pos_;
    long long v = 0;
    while (pos_ < s_.size() && s_[pos_] >= '0' && s_[pos_] <= '9') {
      v = std::min<long long>(v * 10 + (s_[pos_] - '0'), INT_MAX);
      ++pos_;
    }
    return static_cast<int>(v);
  }
  void skip() { pos_ = std::min(pos_ + 1, s_.size()); }
  void seek(std::size_t p) { pos_ = std::min(p, s_.size()); }
  std::string upTo(std::string_view stops) {
    const std::size_t b = pos_;
    while (pos_ < s_.size() && stops.find(s_[pos_]) == std::string_view::npos) ++pos_;
    return std::string(s_.substr(b, pos_ - b));
  }

 private:
  std::string_view s_;
  std::size_t pos_ = 0;
};

bool Representable(std::string_view text, std::string_view forbidden) {
  return text.find_first_of(forbidden) == std::string_view::npos;
}

}  // namespace

std::string FormatFilePosLine(std::string_view fileName, const TFilePosRec& rec) {
  if (fileName.empty() || !Representable(fileName, std::string_view("\"\r\n"))) return {};
  std::string line;
  line.reserve(fileName.size() + 32 + rec.Bookmarks.size() * 16);
  line += '"';
  line += fileName;
  line += "\"|";
  auto add = [&line](int v, char after) {
    line += std::to_string(v);
    line += after;
  };
  add(rec.TopLine, ',');
  add(rec.CaretX, ',');
  add(rec.CaretY, '|');
  for (const TBookmark& b : rec.Bookmarks) {
    line += '(';
    add(b.Index, ':');
    add(b.X, ',');
    add(b.Y, ')');
    line += ';';
  }
  line += "|";
  // A name the line could not hold back is dropped rather than breaking the line.
  if (Representable(rec.Highlighter, std::string_view("|\r\n"))) line += rec.Highlighter;
  line += "|";
  line += rec.WordWrap ? "1" : "0";
  return line;
}

std::optional<std::pair<std::string, TFilePosRec>> ParseFilePosLine(std::string_view line) {
  if (line.size() <= 2 || line.front() != '"') return std::nullopt;
  const std::size_t close = line.find('"', 1);
  std::string name(line.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1));
  if (name.empty()) return std::nullopt;
  TFilePosRec rec;
  LineReader r(line);
  r.seek(close == std::string_view::npos ? line.size() : close + 2);
  rec.TopLine = r.number();
  rec.CaretX = r.number();
  rec.CaretY = r.number();
  r.skip();
  for (;;) {
    TBookmark b;
    b.Index = r.number();
    b.X = r.number();
    b.Y = r.number();
    if (b.X < 1) break;
    rec.Bookmarks.push_back(b);
  }
  r.skip();
  rec.Highlighter = r.upTo("|\r\n");
  r.skip();
  rec.WordWrap = r.number() == 1;
  return std::pair{std::move(name), std::move(rec)};
}

std::string HandChosenHighlighter(HighlighterTable& table, std::string_view fileName, const THighLighter* current) {
  if (!current || table.FindHighlighterEntry(current->highlighter) != current) return {};
  if (&table.FindHighlighterByFileName(fileName) == current) return {};
  return current->name;
}

std::filesystem::path TFilePosHistory::DefaultFile() {
  return std::filesystem::path(AppDataDirectory()) / kFilePosFileName;
}

TFilePosHistory::TFilePosHistory(std::filesystem::path file) : file_(std::move(file)) {}

TFilePosHistory::~TFilePosHistory() {
  if (enabled_) WriteFile();
}

void TFilePosHistory::SetEnabled(bool on) {
  if (on == enabled_) return;
  enabled_ = on;
  if (!loaded_) ReadFile();
}

const TFilePosRec* TFilePosHistory::Find(std::string_view fileName, int* position) const {
  if (position) *position = -1;
  if (!enabled_) return nullptr;
  // Names are compared as the file system does: exactly.
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    if (entries_[i].first == fileName) {
      if (position) *position = static_cast<int>(i);
      return &entries_[i].second;
    }
  }
  return nullptr;
}

void TFilePosHistory::Store(const std::string& fileName, TFilePosRec rec) {
  if (!enabled_ || fileName.empty()) return;
  int at = -1;
  Find(fileName, &at);
  if (at >= 0) entries_.erase(entries_.begin() + at);
  entries_.insert(entries_.begin(), Entry{fileName, std::move(rec)});
}

void TFilePosHistory::Store(const Editor& editor, const std::string& fileName, std::string highlighterName) {
  TFilePosRec rec;
  rec.TopLine = editor.topLine();
  rec.CaretX = editor.caretXY().Char;
  rec.CaretY = editor.caretXY().Line;
  rec.WordWrap = editor.wordWrap();
  rec.Bookmarks = BookmarksOf(editor);
  rec.Highlighter = std::move(highlighterName);
  Store(fileName, std::move(rec));
}

FilePosRestore TFilePosHistory::Restore(Editor& editor, std::string_view fileName, bool wordwrapByDefault,
                                        bool projectLoading) const {
  FilePosRestore result;
  if (projectLoading) return result;
  const TFilePosRec* rec = Find(fileName);
  if (!rec) {
    editor.setWordWrap(wordwrapByDefault);
    result.wordWrap = wordwrapByDefault;
    return result;
  }
  result.found = true;
  result.wordWrap = rec->WordWrap;
  result.highlighter = rec->Highlighter;
  editor.beginUpdate();
  editor.setWordWrap(rec->WordWrap);
  editor.setCaretXY({std::max(1, rec->CaretX), std::max(1, rec->CaretY)});
  editor.setTopLine(rec->TopLine);
  ApplyBookmarks(editor, rec->Bookmarks);
  editor.endUpdate();
  return result;
}

std::vector<TFilePosHistory::Entry> TFilePosHistory::ParseText(std::string_view text) {
  std::vector<Entry> read;
  std::size_t start = 0;
  for (std::size_t n = 0; n < kMaxFilePosLines && start < text.size(); ++n) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    if (auto e = ParseFilePosLine(text.substr(start, end - start))) read.push_back(std::move(*e));
    start = end + 1;
  }
  return read;
}

bool TFilePosHistory::ReadFile() {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(file_, ec)) return false;
  loaded_ = true;
  const auto size = std::filesystem::file_size(file_, ec);
  if (ec || size > kMaxFileBytes) return false;
  std::ifstream in(file_, std::ios::binary);
  std::string text(static_cast<std::size_t>(size), '\0');
  if (!in.read(text.data(), static_cast<std::streamsize>(size))) return false;
  std::vector<Entry> read = ParseText(text);
  entries_.insert(entries_.end(), std::make_move_iterator(read.begin()), std::make_move_iterator(read.end()));
  return true;
}

bool TFilePosHistory::WriteFile() const {
  if (!enabled_) return false;
  std::error_code ec;
  std::filesystem::create_directories(file_.parent_path(), ec);
  std::string content;
  for (const auto& [name, rec] : entries_) {
    std::string line = FormatFilePosLine(name, rec);
    if (line.empty()) continue;
    content += line;
    content += '\n';
  }
  return WriteFileSafely(file_, content);
}

}  // namespace qv
