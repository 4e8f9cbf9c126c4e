// Saving a file so that a failed write never destroys the version already on disk.
#pragma once
#include <filesystem>
#include <string>
#include <string_view>

namespace qv {

// Writes a file's new content beside it and puts it in place only once it is complete and on
// disk. A symbolic link is written through to its target; the old file's permissions and owner
// are kept. Where a file beside it cannot be made (a folder without write permission) or the
// file has other hard links, the file is rewritten in place, and on failure its old content is
// written back. Dropping the writer without commit() leaves the old file as it was.
class AtomicFileWriter {
 public:
  explicit AtomicFileWriter(std::filesystem::path target);
  ~AtomicFileWriter();
  AtomicFileWriter(const AtomicFileWriter&) = delete;
  AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

  bool begin();
  bool write(std::string_view bytes);
  bool commit();

  // Why the last step failed, for messages and tests.
  const std::string& error() const { return error_; }

 private:
  bool fail(const std::string& what, int err);
  void discard();

  std::filesystem::path target_;    // the file finally written (links resolved)
  std::filesystem::path temp_;      // the file beside it; empty when writing in place
  std::string oldContent_;          // kept for in-place writing, to undo a failed write
  bool inPlace_ = false;
  bool oldExisted_ = false;
  int fd_ = -1;
  std::string error_;
};

// The whole content in one call; false (with the reason in *error) leaves the old file intact.
bool WriteFileSafely(const std::filesystem::path& target, std::string_view content,
                     std::string* error = nullptr);

// The final target of a chain of symbolic links (the path itself when it is no link).
std::filesystem::path ResolveLinks(const std::filesystem::path& path);

}  // namespace qv
