// Small file facilities: whole-file atomic writes, read-only attribute, file time and size.
#pragma once
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "platform/settings_tree.h"

namespace qv {

// Writes `bytes` to a temp file beside `file`, flushes it to disk and renames it over `file`:
// readers see the old or the new content, never a part. An existing file keeps its permissions.
Status WriteFileAtomically(const std::filesystem::path& file, std::string_view bytes);

// The whole file, or nothing when it cannot be read or is larger than `limit` bytes.
struct ReadResult {
  std::optional<std::string> bytes;
  std::string error;  // why not, when bytes is empty
};
ReadResult ReadWholeFile(const std::filesystem::path& file, std::uintmax_t limit);

bool FileExists(const std::filesystem::path& file);  // a file, not a folder
// Read-only means the owner may not write it.
bool IsReadOnly(const std::filesystem::path& file);
Status SetReadOnly(const std::filesystem::path& file, bool readOnly);
std::optional<std::uintmax_t> FileSize(const std::filesystem::path& file);
// Last modification, seconds since 1970 (UTC).
std::optional<std::int64_t> FileTime(const std::filesystem::path& file);

}  // namespace qv
