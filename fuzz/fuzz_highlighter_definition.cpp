// Fuzzes the definition-file reader, the highlighters it configures and the settings writer.
// fuzz-link: qv_highlight
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "highlight/definition_file.h"

namespace {

// Scans a line and checks that tokens follow each other without gaps inside the line.
void ScanLine(qv::Highlighter& hl, std::string_view line) {
  hl.setLine(line, 0);
  std::size_t expected = 0;
  for (int guard = 0; !hl.eol(); hl.next()) {
    const auto pos = static_cast<std::size_t>(hl.tokenPosition());
    const std::size_t len = hl.tokenText().size();
    if (pos != expected || len == 0 || pos + len > line.size() || ++guard > 1 << 20) std::abort();
    expected = pos + len;
  }
  if (expected != line.size() && line.substr(expected).find('\0') == std::string_view::npos)
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const auto defs = qv::ParseDefinitionText(text);

  std::vector<std::string_view> lines;
  // A few lines and definitions per input keep the runs fast.
  for (std::size_t start = 0; start <= text.size() && lines.size() < 64;) {
    const std::size_t end = text.find('\n', start);
    lines.push_back(text.substr(start, end == std::string_view::npos ? text.npos : end - start));
    if (end == std::string_view::npos) break;
    start = end + 1;
  }

  for (std::size_t d = 0; d < defs.size() && d < 4; ++d) {
    const qv::TCustHLDef& def = defs[d];
    auto hl = qv::CompleteDefinition(def, "fuzz.chl");
    hl->resetRange();
    for (std::string_view line : lines) ScanLine(*hl, line);
    auto copy = hl->clone();
    for (std::string_view line : lines) ScanLine(*copy, line);

    std::vector<std::string> stored(lines.begin(), lines.end());
    qv::DefinitionSettings settings;
    settings.filter = def.filter;
    settings.helpFile = def.helpFile;
    stored = qv::StoreDefinitionSettings(std::move(stored), settings, *hl);
    std::string joined;
    for (const auto& l : stored) joined += l + "\n";
    for (const auto& def2 : qv::ParseDefinitionText(joined)) qv::CompleteDefinition(def2, "again.chl");
  }
  return 0;
}
