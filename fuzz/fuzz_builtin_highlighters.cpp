// Fuzzes every built-in highlighter over the input split into lines, carrying the range from
// line to line, and checks that each line's tokens are non-empty, contiguous and cover it once.
// fuzz-link: qv_languages qv_editor
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "highlight/languages/builtin_highlighters.h"

namespace {

void ScanLine(qv::Highlighter& hl, std::string_view line, int number) {
  hl.setLine(line, number);
  std::size_t expected = 0;
  std::size_t guard = 0;
  for (; !hl.eol(); hl.next()) {
    const auto pos = static_cast<std::size_t>(hl.tokenPosition());
    const std::string_view text = hl.tokenText();
    if (pos != expected || text.empty() || pos + text.size() > line.size()) std::abort();
    if (text != line.substr(pos, text.size())) std::abort();
    if (hl.tokenKind() < 0 || static_cast<std::size_t>(hl.tokenKind()) >= hl.attributes().size()) std::abort();
    if (++guard > line.size()) std::abort();  // every token holds at least one byte
    expected = pos + text.size();
  }
  if (expected != line.size()) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  for (std::string_view name : qv::BuiltinHighlighterNames()) {
    auto hl = qv::MakeBuiltinHighlighter(name);
    if (!hl) std::abort();
    hl->resetRange();
    int number = 0;
    for (std::size_t start = 0; start <= text.size(); ++number) {
      std::size_t end = text.find('\n', start);
      if (end == std::string_view::npos) end = text.size();
      ScanLine(*hl, text.substr(start, end - start), number);
      start = end + 1;
    }
    // A copy resumes from a range the original reached.
    auto copy = hl->clone();
    copy->setRange(hl->range());
    ScanLine(*copy, text.substr(0, text.find('\n')), 0);
  }
  return 0;
}
