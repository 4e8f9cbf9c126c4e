// Fuzz target: the position-history reader, and writing back what it read.
// fuzz-link: qv_documents
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "documents/file_pos_history.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  for (const auto& [name, rec] : qv::TFilePosHistory::ParseText(text)) {
    // Whatever the writer can hold must read back the same.
    const std::string line = qv::FormatFilePosLine(name, rec);
    if (line.empty()) continue;
    auto again = qv::ParseFilePosLine(line);
    if (!again || again->first != name || again->second != rec) __builtin_trap();
  }
  return 0;
}
