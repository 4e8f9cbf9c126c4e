// Blocks of lines, the line index over them, editing primitives, and file reading and writing.
#include "editor/text_buffer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <optional>

namespace qv {

namespace {
constexpr std::size_t kTargetBlock = 16 * 1024;  // a block closes at a line end past this size
constexpr std::size_t kMaxBlock = 64 * 1024;     // larger blocks with several lines are split
constexpr std::size_t kMinBlock = 2 * 1024;      // smaller blocks merge with a neighbour
constexpr std::int64_t kMaxFileSize = INT_MAX;   // columns and block offsets are 32-bit

std::string errnoText() { return std::strerror(errno); }
}  // namespace

// A run of whole lines: their bytes back to back and where each line starts.
// Invariant: starts.size() >= 1, starts[0] == 0, starts ascending, all <= bytes.size().
struct TextBuffer::Block {
  std::string bytes;
  std::vector<std::uint32_t> starts{0};
  int firstLine = 0;          // stale by the pending step for blocks after stepBlock_
  std::int64_t firstByte = 0;  // likewise

  int lines() const { return static_cast<int>(starts.size()); }
  std::uint32_t lineStart(int k) const { return starts[k]; }
  std::uint32_t lineEnd(int k) const {
    return k + 1 < lines() ? starts[k + 1] : static_cast<std::uint32_t>(bytes.size());
  }
  void trimSlack() {
    if (bytes.capacity() > bytes.size() + bytes.size() / 8 + 256) bytes.shrink_to_fit();
    if (starts.capacity() > starts.size() + starts.size() / 8 + 8) starts.shrink_to_fit();
  }
};

// Builds blocks from bytes arriving in pieces, following the file-reading rules.
class TextBufferLoader {
 public:
  explicit TextBufferLoader(std::int64_t totalBytes) : remaining_(totalBytes) { startBlock(); }

  void feed(std::string_view chunk) {
    std::size_t i = 0;
    const std::size_t n = chunk.size();
    if (afterCr_ && n > 0) {
      afterCr_ = false;
      if (chunk[0] == '\n') {
        i = 1;
        noteBreak(LineBreak::CrLf);
      } else {
        noteBreak(LineBreak::Cr);
      }
    }
    // The next LF is looked for once and remembered: in a file of CR breaks there is none,
    // and searching to the end of the chunk for every line would make loading quadratic.
    std::size_t nextLf = 0;
    bool lfKnown = false;
    while (i < n) {
      const char* base = chunk.data() + i;
      if (!lfKnown || (nextLf != n && nextLf < i)) {
        const void* lf = std::memchr(base, '\n', n - i);
        nextLf = lf ? static_cast<std::size_t>(static_cast<const char*>(lf) - chunk.data()) : n;
        lfKnown = true;
      }
      std::size_t end = nextLf;
      const void* cr = std::memchr(base, '\r', end - i);
      if (cr) end = static_cast<const char*>(cr) - chunk.data();
      left_ = remaining_ - static_cast<std::int64_t>(i);
      append(chunk.substr(i, end - i));
      if (end == n) break;
      if (chunk[end] == '\r') {
        if (end + 1 < n) {
          if (chunk[end + 1] == '\n') {
            noteBreak(LineBreak::CrLf);
            ++end;
          } else {
            noteBreak(LineBreak::Cr);
          }
        } else {
          afterCr_ = true;  // decided by the next chunk
        }
      } else {
        noteBreak(LineBreak::Lf);
      }
      newLine();
      i = end + 1;
    }
    remaining_ -= static_cast<std::int64_t>(n);
  }

  void finish(TextBuffer& buffer) {
    if (afterCr_) noteBreak(LineBreak::Cr);
    finishBlock();
    buffer.adoptBlocks(std::move(blocks_), lines_, bytes_);
    buffer.lineBreak_ = style_.value_or(LineBreak::CrLf);
  }

 private:
  void noteBreak(LineBreak b) {
    if (!style_) style_ = b;
  }
  void startBlock() {
    cur_ = TextBuffer::Block{};
    cur_.bytes.reserve(static_cast<std::size_t>(
        std::clamp<std::int64_t>(remaining_, 16, kTargetBlock + kTargetBlock / 4)));
    cur_.starts.reserve(64);
  }
  void finishBlock() {
    cur_.trimSlack();
    lines_ += cur_.lines();
    bytes_ += static_cast<std::int64_t>(cur_.bytes.size());
    blocks_.push_back(std::move(cur_));
  }
  void append(std::string_view seg) {
    std::string& b = cur_.bytes;
    if (b.size() + seg.size() > b.capacity()) {
      std::size_t want = b.size() + seg.size();
      if (want <= 2 * kTargetBlock) {
        want = std::max(want, 2 * b.capacity());
      } else {
        // A long line: the rest of the input bounds it, so one reservation is enough.
        want = std::max<std::size_t>(want, b.size() + static_cast<std::size_t>(std::max<std::int64_t>(left_, 0)));
      }
      b.reserve(want);
    }
    b.append(seg);
  }
  void newLine() {
    if (cur_.bytes.size() >= kTargetBlock) {
      finishBlock();
      startBlock();
    } else {
      cur_.starts.push_back(static_cast<std::uint32_t>(cur_.bytes.size()));
    }
  }

  std::int64_t remaining_;  // input bytes not yet fed, counted from the current chunk's start
  std::int64_t left_ = 0;   // input bytes from the current segment on
  bool afterCr_ = false;
  std::optional<LineBreak> style_;
  TextBuffer::Block cur_;
  std::vector<TextBuffer::Block> blocks_;
  int lines_ = 0;
  std::int64_t bytes_ = 0;
};

TextBuffer::TextBuffer() { blocks_.emplace_back(); }
TextBuffer::~TextBuffer() = default;

void TextBuffer::adoptBlocks(std::vector<Block> blocks, int lines, std::int64_t bytes) {
  std::int64_t removedLines = lineCount_;
  blocks_ = std::move(blocks);
  if (blocks_.empty()) blocks_.emplace_back();
  lineCount_ = std::max(lines, 1);
  contentBytes_ = bytes;
  stepBlock_ = 0;
  stepLines_ = 0;
  stepBytes_ = 0;
  hint_ = 0;
  blocks_[0].firstLine = 0;
  blocks_[0].firstByte = 0;
  renumberFrom(0);
  notify({0, static_cast<int>(removedLines), lineCount_});
}

// ---- index ----

int TextBuffer::blockFirstLine(int b) const {
  return blocks_[b].firstLine + (b > stepBlock_ ? stepLines_ : 0);
}

std::int64_t TextBuffer::blockFirstByte(int b) const {
  return blocks_[b].firstByte + (b > stepBlock_ ? stepBytes_ : 0);
}

void TextBuffer::flushShift() {
  if (stepLines_ != 0 || stepBytes_ != 0) {
    for (int k = stepBlock_ + 1; k < static_cast<int>(blocks_.size()); ++k) {
      blocks_[k].firstLine += stepLines_;
      blocks_[k].firstByte += stepBytes_;
    }
  }
  stepLines_ = 0;
  stepBytes_ = 0;
  stepBlock_ = static_cast<int>(blocks_.size()) - 1;
}

// Block b changed by the given line and byte counts: every later block moves.
void TextBuffer::shift(int b, int lines, std::int64_t bytes) {
  lineCount_ += lines;
  contentBytes_ += bytes;
  if (lines == 0 && bytes == 0) return;
  const int n = static_cast<int>(blocks_.size());
  if (stepLines_ == 0 && stepBytes_ == 0) {
    stepBlock_ = b;
  } else if (b >= stepBlock_) {
    for (int k = stepBlock_ + 1; k <= b; ++k) {
      blocks_[k].firstLine += stepLines_;
      blocks_[k].firstByte += stepBytes_;
    }
    stepBlock_ = b;
  } else if (stepBlock_ - b < n - stepBlock_) {
    for (int k = b + 1; k <= stepBlock_; ++k) {
      blocks_[k].firstLine += lines;
      blocks_[k].firstByte += bytes;
    }
  } else {
    flushShift();
    stepBlock_ = b;
  }
  stepLines_ += lines;
  stepBytes_ += bytes;
}

void TextBuffer::renumberFrom(int b) {
  flushShift();
  for (int k = std::max(b, 1); k < static_cast<int>(blocks_.size()); ++k) {
    blocks_[k].firstLine = blocks_[k - 1].firstLine + blocks_[k - 1].lines();
    blocks_[k].firstByte = blocks_[k - 1].firstByte + static_cast<std::int64_t>(blocks_[k - 1].bytes.size());
  }
  if (b == 0) {
    blocks_[0].firstLine = 0;
    blocks_[0].firstByte = 0;
  }
}

TextBuffer::Loc TextBuffer::locate(int line) const {
  line = std::clamp(line, 0, lineCount_ - 1);
  const int n = static_cast<int>(blocks_.size());
  auto inside = [&](int b) {
    int first = blockFirstLine(b);
    return line >= first && line < first + blocks_[b].lines();
  };
  int h = std::min(hint_, n - 1);
  if (inside(h)) return {h, line - blockFirstLine(h)};
  if (h + 1 < n && inside(h + 1)) {
    hint_ = h + 1;
    return {h + 1, line - blockFirstLine(h + 1)};
  }
  int lo = 0, hi = n - 1;  // last block whose first line <= line
  while (lo < hi) {
    int mid = (lo + hi + 1) / 2;
    if (blockFirstLine(mid) <= line)
      lo = mid;
    else
      hi = mid - 1;
  }
  hint_ = lo;
  return {lo, line - blockFirstLine(lo)};
}

// ---- reading ----

std::string_view TextBuffer::line(int i) const {
  Loc l = locate(i);
  const Block& b = blocks_[l.block];
  std::uint32_t s = b.lineStart(l.local);
  return std::string_view(b.bytes).substr(s, b.lineEnd(l.local) - s);
}

TextPos TextBuffer::clamp(TextPos p) const {
  p.line = std::clamp(p.line, 0, lineCount_ - 1);
  p.col = std::clamp(p.col, 0, lineLength(p.line));
  return p;
}

std::string TextBuffer::text(std::string_view lineBreak) const {
  return text({0, 0}, endPos(), lineBreak);
}

std::string TextBuffer::text(TextPos from, TextPos to, std::string_view lineBreak) const {
  from = clamp(from);
  to = clamp(to);
  if (to < from) std::swap(from, to);
  std::string out;
  if (from.line == to.line) return std::string(line(from.line).substr(from.col, to.col - from.col));
  std::int64_t total = offsetOf(to, static_cast<int>(lineBreak.size())) -
                       offsetOf(from, static_cast<int>(lineBreak.size()));
  out.reserve(static_cast<std::size_t>(total));
  out.append(line(from.line).substr(from.col));
  for (int i = from.line + 1; i <= to.line; ++i) {
    out.append(lineBreak);
    std::string_view l = line(i);
    out.append(i == to.line ? l.substr(0, to.col) : l);
  }
  return out;
}

std::int64_t TextBuffer::offsetOf(TextPos p, int breakLength) const {
  p = clamp(p);
  Loc l = locate(p.line);
  return blockFirstByte(l.block) + blocks_[l.block].lineStart(l.local) + p.col +
         std::int64_t(p.line) * breakLength;
}

TextPos TextBuffer::posOf(std::int64_t offset, int breakLength) const {
  if (offset <= 0) return {0, 0};
  auto blockStart = [&](int b) { return blockFirstByte(b) + std::int64_t(blockFirstLine(b)) * breakLength; };
  int lo = 0, hi = static_cast<int>(blocks_.size()) - 1;
  while (lo < hi) {
    int mid = (lo + hi + 1) / 2;
    if (blockStart(mid) <= offset)
      lo = mid;
    else
      hi = mid - 1;
  }
  const Block& b = blocks_[lo];
  std::int64_t rel = offset - blockStart(lo);
  int k = 0, kh = b.lines() - 1;
  while (k < kh) {
    int mid = (k + kh + 1) / 2;
    if (std::int64_t(b.starts[mid]) + std::int64_t(mid) * breakLength <= rel)
      k = mid;
    else
      kh = mid - 1;
  }
  std::int64_t col = rel - (std::int64_t(b.starts[k]) + std::int64_t(k) * breakLength);
  int len = static_cast<int>(b.lineEnd(k) - b.starts[k]);
  return {blockFirstLine(lo) + k, static_cast<int>(std::min<std::int64_t>(col, len))};
}

// ---- editing ----

namespace {
// Splits at CR LF, lone CR and lone LF.
std::vector<std::string_view> splitBreaks(std::string_view text) {
  std::vector<std::string_view> parts;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c != '\r' && c != '\n') continue;
    parts.push_back(text.substr(start, i - start));
    if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  parts.push_back(text.substr(start));
  return parts;
}
}  // namespace

TextPos TextBuffer::insert(TextPos at, std::string_view text) {
  at = clamp(at);
  if (text.empty()) return at;
  std::vector<std::string_view> parts = splitBreaks(text);
  Loc l = locate(at.line);
  Block& b = blocks_[l.block];
  const std::uint32_t off = b.lineStart(l.local) + static_cast<std::uint32_t>(at.col);
  const int added = static_cast<int>(parts.size()) - 1;
  std::int64_t total = 0;
  for (auto p : parts) total += static_cast<std::int64_t>(p.size());
  if (std::int64_t(b.bytes.size()) + total > kMaxFileSize) return at;  // 32-bit offsets
  if (b.bytes.size() + static_cast<std::size_t>(total) > b.bytes.capacity() && b.bytes.size() > kMaxBlock) {
    // A very long line grows by an eighth, not by doubling.
    b.bytes.reserve(b.bytes.size() + static_cast<std::size_t>(total) + b.bytes.size() / 8);
  }
  if (added == 0) {
    b.bytes.insert(off, text);
  } else {
    std::string joined;
    joined.reserve(static_cast<std::size_t>(total));
    for (auto p : parts) joined.append(p);
    b.bytes.insert(off, joined);
  }
  const auto grow = static_cast<std::uint32_t>(total);
  for (int k = l.local + 1; k < b.lines(); ++k) b.starts[k] += grow;
  if (added > 0) {
    std::vector<std::uint32_t> fresh(static_cast<std::size_t>(added));
    std::uint32_t pos = off;
    for (int k = 0; k < added; ++k) {
      pos += static_cast<std::uint32_t>(parts[k].size());
      fresh[k] = pos;
    }
    b.starts.insert(b.starts.begin() + l.local + 1, fresh.begin(), fresh.end());
  }
  shift(l.block, added, total);
  rebalance(l.block);
  notify({at.line, 1, added + 1});
  if (added == 0) return {at.line, at.col + static_cast<int>(total)};
  return {at.line + added, static_cast<int>(parts.back().size())};
}

void TextBuffer::erase(TextPos from, TextPos to) {
  from = clamp(from);
  to = clamp(to);
  if (to < from) std::swap(from, to);
  if (from == to) return;
  Loc l1 = locate(from.line);
  Loc l2 = locate(to.line);
  const int removedLines = to.line - from.line;
  if (l1.block == l2.block) {
    Block& b = blocks_[l1.block];
    std::uint32_t s = b.lineStart(l1.local) + static_cast<std::uint32_t>(from.col);
    std::uint32_t e = b.lineStart(l2.local) + static_cast<std::uint32_t>(to.col);
    b.bytes.erase(s, e - s);
    b.starts.erase(b.starts.begin() + l1.local + 1, b.starts.begin() + l2.local + 1);
    for (int k = l1.local + 1; k < b.lines(); ++k) b.starts[k] -= (e - s);
    shift(l1.block, -removedLines, -std::int64_t(e - s));
    rebalance(l1.block);
  } else {
    const std::int64_t removedBytes = (blockFirstByte(l2.block) + blocks_[l2.block].lineStart(l2.local) + to.col) -
                                      (blockFirstByte(l1.block) + blocks_[l1.block].lineStart(l1.local) + from.col);
    Block& last = blocks_[l2.block];
    const std::uint32_t cut = last.lineStart(l2.local) + static_cast<std::uint32_t>(to.col);
    Block& first = blocks_[l1.block];
    first.bytes.resize(first.lineStart(l1.local) + static_cast<std::uint32_t>(from.col));
    first.starts.resize(static_cast<std::size_t>(l1.local) + 1);
    const auto base = static_cast<std::uint32_t>(first.bytes.size());
    first.bytes.append(std::string_view(last.bytes).substr(cut));
    for (int k = l2.local + 1; k < last.lines(); ++k) first.starts.push_back(last.starts[k] - cut + base);
    flushShift();
    blocks_.erase(blocks_.begin() + l1.block + 1, blocks_.begin() + l2.block + 1);
    lineCount_ -= removedLines;
    contentBytes_ -= removedBytes;
    renumberFrom(l1.block);
    hint_ = l1.block;
    rebalance(l1.block);
  }
  notify({from.line, removedLines + 1, 1});
}

TextPos TextBuffer::replace(TextPos from, TextPos to, std::string_view text) {
  from = clamp(from);
  to = clamp(to);
  if (to < from) std::swap(from, to);
  erase(from, to);
  return insert(from, text);
}

void TextBuffer::insertLine(int i, std::string_view text) {
  i = std::clamp(i, 0, lineCount_);
  std::string s;
  if (i == lineCount_) {
    s.reserve(text.size() + 1);
    s.append("\n").append(text);
    insert(endPos(), s);
  } else {
    s.reserve(text.size() + 1);
    s.append(text).append("\n");
    insert({i, 0}, s);
  }
}

void TextBuffer::deleteLines(int first, int count) {
  first = std::clamp(first, 0, lineCount_ - 1);
  count = std::clamp(count, 0, lineCount_ - first);
  if (count == 0) return;
  if (first + count < lineCount_) {
    erase({first, 0}, {first + count, 0});
  } else if (first > 0) {
    erase({first - 1, lineLength(first - 1)}, endPos());
  } else {
    erase({0, 0}, endPos());
  }
}

void TextBuffer::clear() {
  std::vector<Block> none;
  adoptBlocks(std::move(none), 1, 0);
}

// Keeps blocks between kMinBlock and kMaxBlock bytes where lines allow it.
void TextBuffer::rebalance(int bi) {
  Block& b = blocks_[bi];
  if (b.bytes.size() > kMaxBlock && b.lines() > 1) {
    std::vector<Block> pieces;
    int k = 0;
    while (k < b.lines()) {
      int startK = k;
      std::uint32_t s = b.starts[k];
      while (k < b.lines() && b.lineEnd(k) - s < kTargetBlock) ++k;
      if (k == startK) ++k;  // one long line on its own
      Block piece;
      std::uint32_t e = b.lineEnd(k - 1);
      piece.bytes.assign(b.bytes, s, e - s);
      piece.starts.assign(b.starts.begin() + startK, b.starts.begin() + k);
      for (auto& st : piece.starts) st -= s;
      pieces.push_back(std::move(piece));
    }
    flushShift();
    blocks_.erase(blocks_.begin() + bi);
    blocks_.insert(blocks_.begin() + bi, std::make_move_iterator(pieces.begin()),
                   std::make_move_iterator(pieces.end()));
    renumberFrom(bi);
    hint_ = bi;
    return;
  }
  if (b.bytes.size() < kMinBlock && blocks_.size() > 1) {
    int other = bi + 1 < static_cast<int>(blocks_.size()) ? bi + 1 : bi - 1;
    int a = std::min(bi, other), c = std::max(bi, other);
    if (blocks_[a].bytes.size() + blocks_[c].bytes.size() < kTargetBlock) {
      flushShift();
      Block& x = blocks_[a];
      Block& y = blocks_[c];
      const auto base = static_cast<std::uint32_t>(x.bytes.size());
      x.bytes.append(y.bytes);
      for (auto st : y.starts) x.starts.push_back(st + base);
      blocks_.erase(blocks_.begin() + c);
      renumberFrom(a);
      hint_ = a;
      return;
    }
  }
  if (b.bytes.capacity() > 2 * b.bytes.size() + kMaxBlock) b.bytes.shrink_to_fit();
}

void TextBuffer::setText(std::string_view text) {
  std::vector<std::string_view> parts = splitBreaks(text);
  if (parts.size() > 1 && parts.back().empty()) parts.pop_back();
  TextBufferLoader loader(static_cast<std::int64_t>(text.size()));
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (i > 0) loader.feed("\n");
    loader.feed(parts[i]);
  }
  LineBreak keep = lineBreak_;
  loader.finish(*this);
  lineBreak_ = keep;
}

// ---- files ----

void TextBuffer::loadBytes(std::string_view bytes) {
  TextBufferLoader loader(static_cast<std::int64_t>(bytes.size()));
  loader.feed(bytes);
  loader.finish(*this);
}

BufferIoResult TextBuffer::loadFile(const std::string& path) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return {false, "Cannot open '" + path + "': " + errnoText()};
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return {false, "'" + path + "' is not a regular file."};
  }
  if (st.st_size > kMaxFileSize) {
    ::close(fd);
    return {false, "'" + path + "' is too large to edit (2 GB at most)."};
  }
  TextBufferLoader loader(st.st_size);
  std::vector<char> chunk(1 << 20);
  for (;;) {
    ssize_t got = ::read(fd, chunk.data(), chunk.size());
    if (got < 0) {
      if (errno == EINTR) continue;
      std::string err = "Error reading '" + path + "': " + errnoText();
      ::close(fd);
      return {false, err};  // the buffer keeps its old text
    }
    if (got == 0) break;
    loader.feed(std::string_view(chunk.data(), static_cast<std::size_t>(got)));
  }
  ::close(fd);
  loader.finish(*this);
  return {};
}

std::string TextBuffer::bytes(LineBreak b) const {
  std::string_view br = lineBreakBytes(b);
  std::string out;
  out.reserve(static_cast<std::size_t>(size(static_cast<int>(br.size()))));
  bool first = true;
  for (const Block& blk : blocks_) {
    for (int k = 0; k < blk.lines(); ++k) {
      if (!first) out.append(br);
      first = false;
      out.append(std::string_view(blk.bytes).substr(blk.starts[k], blk.lineEnd(k) - blk.starts[k]));
    }
  }
  return out;
}

namespace {
bool writeAll(int fd, const char* data, std::size_t n) {
  while (n > 0) {
    ssize_t w = ::write(fd, data, n);
    if (w < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += w;
    n -= static_cast<std::size_t>(w);
  }
  return true;
}
}  // namespace

BufferIoResult TextBuffer::writeFile(const std::string& path, LineBreak brk) const {
  // Write through a symbolic link to its target; keep hard links by writing in place.
  std::string target = path;
  struct stat st {};
  bool exists = ::lstat(path.c_str(), &st) == 0;
  if (exists && S_ISLNK(st.st_mode)) {
    if (char* real = ::realpath(path.c_str(), nullptr)) {
      target = real;
      std::free(real);
    }
    exists = ::stat(target.c_str(), &st) == 0;
  }
  const bool inPlace = exists && st.st_nlink > 1;
  std::string tmp;
  int fd = -1;
  if (!inPlace) {
    tmp = target + ".qvtmp-XXXXXX";
    fd = ::mkstemp(tmp.data());
    if (fd < 0) tmp.clear();
  }
  if (fd < 0) {
    fd = ::open(target.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) return {false, "Cannot write '" + path + "': " + errnoText()};
  }
  std::string_view br = lineBreakBytes(brk);
  std::string buf;
  buf.reserve(1 << 20);
  bool ok = true;
  bool firstLine = true;
  for (const Block& blk : blocks_) {
    for (int k = 0; k < blk.lines() && ok; ++k) {
      if (!firstLine) buf.append(br);
      firstLine = false;
      std::string_view l = std::string_view(blk.bytes).substr(blk.starts[k], blk.lineEnd(k) - blk.starts[k]);
      if (buf.size() + l.size() > (1 << 20)) {
        ok = writeAll(fd, buf.data(), buf.size());
        buf.clear();
        if (ok && l.size() > (1 << 20)) {
          ok = writeAll(fd, l.data(), l.size());
          continue;
        }
      }
      buf.append(l);
    }
  }
  if (ok) ok = writeAll(fd, buf.data(), buf.size());
  std::string err = ok ? std::string() : errnoText();
  if (ok && !tmp.empty()) {
    if (exists) ::fchmod(fd, st.st_mode & 07777);
    else {
      mode_t mask = ::umask(0);
      ::umask(mask);
      ::fchmod(fd, 0666 & ~mask);
    }
    if (::fsync(fd) != 0) {
      ok = false;
      err = errnoText();
    }
  }
  if (::close(fd) != 0 && ok) {
    ok = false;
    err = errnoText();
  }
  if (!tmp.empty()) {
    if (ok && ::rename(tmp.c_str(), target.c_str()) != 0) {
      ok = false;
      err = errnoText();
    }
    if (!ok) ::unlink(tmp.c_str());
  }
  if (!ok) return {false, "Error writing '" + path + "': " + err};
  return {};
}

// ---- observers ----

int TextBuffer::addListener(std::function<void(const BufferChange&)> listener) {
  listeners_.emplace_back(nextListenerId_, std::move(listener));
  return nextListenerId_++;
}

void TextBuffer::removeListener(int id) {
  std::erase_if(listeners_, [id](const auto& p) { return p.first == id; });
}

void TextBuffer::notify(const BufferChange& c) {
  for (const auto& [id, fn] : listeners_) fn(c);
}

}  // namespace qv
