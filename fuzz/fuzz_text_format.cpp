// Fuzzes format detection and the decoding and re-encoding of marked files.
// fuzz-link: qv_documents
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "documents/text_format.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const qv::TTextFormat format = qv::DetectTextFormatFromSample(bytes);
  if (!qv::IsMarkedFormat(format)) return 0;
  const auto decoded = qv::DecodeMarkedText(bytes, format);
  if (!decoded) std::abort();  // detection found the mark, so decoding must succeed
  // Whatever was decoded must encode back to the very same file.
  if (qv::EncodeMarkedText(decoded->text, format, decoded->strayByte) != bytes) std::abort();
  // Any text, valid UTF-8 or not, must encode without fault.
  (void)qv::EncodeMarkedText(bytes, qv::TTextFormat::tfUnicodeBigEndian);
  return 0;
}
