// POSIX rendering of the file facilities.
#include "platform/file_system.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>

namespace qv {
namespace fs = std::filesystem;

namespace {

std::string Errno() { return std::strerror(errno); }

std::string TooLarge(std::uintmax_t limit) {
  return limit >= 1024 * 1024 ? "it is larger than " + std::to_string(limit / (1024 * 1024)) + " MB"
                              : "it is larger than " + std::to_string(limit) + " bytes";
}

}  // namespace

Status WriteFileAtomically(const fs::path& file, std::string_view bytes) {
  std::error_code ec;
  // Write through a symbolic link to the file it names, keeping the link.
  fs::path target = file;
  if (fs::is_symlink(file, ec)) {
    const fs::path resolved = fs::canonical(file, ec);
    if (!ec) target = resolved;
  }
  const fs::path dir = target.has_parent_path() ? target.parent_path() : fs::path(".");
  std::string tempName = target.filename().string();
  tempName.insert(0, 1, '.');
  tempName.append(".tmp-XXXXXX");
  std::string pattern = (dir / tempName).string();
  const int fd = mkstemp(pattern.data());
  if (fd < 0) return Status::Failure("Cannot write \"" + file.string() + "\": " + Errno() + ".");
  auto fail = [&](const std::string& why) {
    ::close(fd);
    ::unlink(pattern.c_str());
    return Status::Failure("Cannot write \"" + file.string() + "\": " + why + ".");
  };
  struct stat old {};
  const mode_t mode = (::stat(target.c_str(), &old) == 0) ? (old.st_mode & 07777) : 0666 & ~[] {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
  }();
  if (::fchmod(fd, mode) != 0) return fail(Errno());
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return fail(Errno());
    }
    done += static_cast<std::size_t>(n);
  }
  if (::fsync(fd) != 0) return fail(Errno());
  if (::close(fd) != 0) {
    ::unlink(pattern.c_str());
    return Status::Failure("Cannot write \"" + file.string() + "\": " + Errno() + ".");
  }
  if (::rename(pattern.c_str(), target.c_str()) != 0) {
    const std::string why = Errno();
    ::unlink(pattern.c_str());
    return Status::Failure("Cannot write \"" + file.string() + "\": " + why + ".");
  }
  // Make the rename itself durable.
  const int dirFd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY);
  if (dirFd >= 0) {
    ::fsync(dirFd);
    ::close(dirFd);
  }
  return {};
}

ReadResult ReadWholeFile(const fs::path& file, std::uintmax_t limit) {
  ReadResult result;
  std::error_code ec;
  if (fs::is_directory(file, ec)) {
    result.error = "it is a folder";
    return result;
  }
  std::ifstream in(file, std::ios::binary);
  if (!in) {
    result.error = Errno();
    return result;
  }
  const auto size = fs::file_size(file, ec);
  if (!ec && size > limit) {
    result.error = TooLarge(limit);
    return result;
  }
  std::string bytes;
  char buf[65536];
  while (in.read(buf, sizeof buf) || in.gcount() > 0) {
    bytes.append(buf, static_cast<std::size_t>(in.gcount()));
    if (bytes.size() > limit) {
      result.error = TooLarge(limit);
      return result;
    }
  }
  if (in.bad()) {
    result.error = Errno();
    return result;
  }
  result.bytes = std::move(bytes);
  return result;
}

bool FileExists(const fs::path& file) {
  std::error_code ec;
  return fs::exists(file, ec) && !fs::is_directory(file, ec);
}

bool IsReadOnly(const fs::path& file) {
  std::error_code ec;
  const auto st = fs::status(file, ec);
  if (ec || !fs::exists(st)) return false;
  return (st.permissions() & fs::perms::owner_write) == fs::perms::none;
}

Status SetReadOnly(const fs::path& file, bool readOnly) {
  std::error_code ec;
  // Only the owner's write permission stands for the attribute; group and others stay as they are.
  fs::permissions(file, fs::perms::owner_write,
                  readOnly ? fs::perm_options::remove : fs::perm_options::add, ec);
  if (ec) return Status::Failure("Cannot change \"" + file.string() + "\": " + ec.message() + ".");
  return {};
}

std::optional<std::uintmax_t> FileSize(const fs::path& file) {
  std::error_code ec;
  const auto size = fs::file_size(file, ec);
  if (ec) return std::nullopt;
  return size;
}

std::optional<std::int64_t> FileTime(const fs::path& file) {
  struct stat st {};
  if (::stat(file.c_str(), &st) != 0) return std::nullopt;
  return static_cast<std::int64_t>(st.st_mtime);
}

}  // namespace qv
