// The editor's text: lines of bytes kept in blocks of lines, with loading and writing of files.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace qv {

enum class LineBreak { CrLf, Lf, Cr };

constexpr std::string_view lineBreakBytes(LineBreak b) {
  return b == LineBreak::CrLf ? "\r\n" : b == LineBreak::Lf ? "\n" : "\r";
}

// A place in the text: 0-based line and 0-based byte column.
struct TextPos {
  int line = 0;
  int col = 0;
  constexpr auto operator<=>(const TextPos&) const = default;
};

// Lines [line, line + removed) of the old text became lines [line, line + inserted) of the new.
struct BufferChange {
  int line = 0;
  int removed = 0;
  int inserted = 0;
};

struct BufferIoResult {
  bool ok = true;
  std::string error;  // a sentence for the user when !ok
};

// Holds the text as lines of bytes (zero bytes allowed inside lines). There is always at least
// one line. Lines live in blocks of about 16 KB so an edit touches one block, and line lookup is a
// binary search over blocks; memory stays close to the size of the text.
// Positions handed in are clamped to the text.
class TextBuffer {
 public:
  TextBuffer();
  ~TextBuffer();
  TextBuffer(const TextBuffer&) = delete;
  TextBuffer& operator=(const TextBuffer&) = delete;

  int lineCount() const { return lineCount_; }
  // The bytes of line i, without its break. Valid until the next change of the buffer.
  std::string_view line(int i) const;
  std::string lineCopy(int i) const { return std::string(line(i)); }
  int lineLength(int i) const { return static_cast<int>(line(i).size()); }
  // Bytes of all lines, not counting breaks.
  std::int64_t contentBytes() const { return contentBytes_; }
  // Size of the text joined with breaks of the given length.
  std::int64_t size(int breakLength = 2) const {
    return contentBytes_ + std::int64_t(lineCount_ - 1) * breakLength;
  }
  bool isEmpty() const { return lineCount_ == 1 && contentBytes_ == 0; }
  TextPos endPos() const { return {lineCount_ - 1, lineLength(lineCount_ - 1)}; }
  TextPos clamp(TextPos p) const;

  // Text joined with the given break, with no break after the last line.
  std::string text(std::string_view lineBreak = "\r\n") const;
  std::string text(TextPos from, TextPos to, std::string_view lineBreak = "\r\n") const;

  // Offsets into the text as if joined with breaks of the given length.
  std::int64_t offsetOf(TextPos p, int breakLength = 2) const;
  TextPos posOf(std::int64_t offset, int breakLength = 2) const;

  // Editing primitives. Inserted text is split into lines at CR LF, lone CR and lone LF; a break
  // at its end starts a new line. insert and replace return the position after the new text.
  TextPos insert(TextPos at, std::string_view text);
  void erase(TextPos from, TextPos to);
  TextPos replace(TextPos from, TextPos to, std::string_view text);
  void replaceLine(int i, std::string_view text) { replace({i, 0}, {i, lineLength(i)}, text); }
  void insertLine(int i, std::string_view text);  // becomes line i (i == lineCount() appends)
  void deleteLines(int first, int count);
  void clear();

  // Text assignment: split at CR LF, CR or LF; a break at the very end makes no empty last line.
  void setText(std::string_view text);

  // Reading a file's bytes: split at CR LF, lone CR or lone LF, zero bytes kept; a final break
  // gives an empty last line. The first break found sets lineBreak() (CR LF when there is none).
  void loadBytes(std::string_view bytes);
  BufferIoResult loadFile(const std::string& path);
  LineBreak lineBreak() const { return lineBreak_; }
  void setLineBreak(LineBreak b) { lineBreak_ = b; }

  // The written form: every line followed by the break except the last.
  std::string bytes(LineBreak b) const;
  std::string bytes() const { return bytes(lineBreak_); }
  // Writes the file through a temporary file renamed over the target, so a failed write leaves
  // the old file whole (falls back to writing in place where no file can be created beside it).
  BufferIoResult writeFile(const std::string& path, LineBreak b) const;
  BufferIoResult writeFile(const std::string& path) const { return writeFile(path, lineBreak_); }

  // Observers of every change; the id removes the observer again.
  int addListener(std::function<void(const BufferChange&)> listener);
  void removeListener(int id);

  struct Block;  // implementation detail, public for the loader

 private:
  struct Loc {
    int block;
    int local;
  };
  Loc locate(int line) const;
  int blockFirstLine(int b) const;
  std::int64_t blockFirstByte(int b) const;
  void shift(int b, int lines, std::int64_t bytes);
  void flushShift();
  void renumberFrom(int b);
  void rebalance(int b);
  void notify(const BufferChange& c);
  void adoptBlocks(std::vector<Block> blocks, int lines, std::int64_t bytes);
  friend class TextBufferLoader;

  std::vector<Block> blocks_;
  int lineCount_ = 1;
  std::int64_t contentBytes_ = 0;
  // Blocks after stepBlock_ have not yet received stepLines_/stepBytes_ in their first line/byte,
  // so a run of edits moving forward updates the index in amortised constant time.
  int stepBlock_ = 0;
  int stepLines_ = 0;
  std::int64_t stepBytes_ = 0;
  mutable int hint_ = 0;  // last block found by locate (sequential reads are O(1))
  LineBreak lineBreak_ = LineBreak::CrLf;
  std::vector<std::pair<int, std::function<void(const BufferChange&)>>> listeners_;
  int nextListenerId_ = 1;
};

}  // namespace qv
