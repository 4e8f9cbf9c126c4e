// Writing beside the file and renaming into place, with an in-place fallback that can undo itself.
#include "documents/atomic_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qv {
namespace fs = std::filesystem;

namespace {

constexpr int kMaxLinkDepth = 40;

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

bool ReadAll(int fd, std::string& out) {
  char buf[65536];
  for (;;) {
    const ssize_t n = ::read(fd, buf, sizeof buf);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (n == 0) return true;
    out.append(buf, static_cast<std::size_t>(n));
  }
}

void SyncFolder(const fs::path& folder) {
  const int dfd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY);
  if (dfd >= 0) {
    ::fsync(dfd);
    ::close(dfd);
  }
}

mode_t CurrentUmask() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return mask;
}

}  // namespace

fs::path ResolveLinks(const fs::path& path) {
  fs::path current = path;
  for (int depth = 0; depth < kMaxLinkDepth; ++depth) {
    std::error_code ec;
    if (!fs::is_symlink(fs::symlink_status(current, ec))) return current;
    const fs::path next = fs::read_symlink(current, ec);
    if (ec) return current;
    current = next.is_absolute() ? next : current.parent_path() / next;
  }
  return current;
}

AtomicFileWriter::AtomicFileWriter(fs::path target) : target_(ResolveLinks(target)) {}

AtomicFileWriter::~AtomicFileWriter() { discard(); }

bool AtomicFileWriter::fail(const std::string& what, int err) {
  error_ = what + ": " + std::strerror(err);
  discard();
  return false;
}

void AtomicFileWriter::discard() {
  if (fd_ < 0) return;
  if (inPlace_) {
    // Put the old content back; a full disk has room for it since the new content was cut off.
    ::lseek(fd_, 0, SEEK_SET);
    if (WriteAll(fd_, oldContent_)) {
      if (::ftruncate(fd_, static_cast<off_t>(oldContent_.size())) == 0) ::fsync(fd_);
    }
  }
  ::close(fd_);
  fd_ = -1;
  if (!temp_.empty()) {
    ::unlink(temp_.c_str());
    temp_.clear();
  }
}

bool AtomicFileWriter::begin() {
  discard();
  error_.clear();
  struct stat old {};
  oldExisted_ = ::stat(target_.c_str(), &old) == 0;
  if (oldExisted_ && !S_ISREG(old.st_mode)) {
    error_ = "not a regular file";
    return false;
  }
  const fs::path folder = target_.parent_path();
  std::string tempName = ".";
  tempName += target_.filename().string();
  tempName += ".qvsave-XXXXXX";
  std::string pattern = (folder / tempName).string();
  inPlace_ = oldExisted_ && old.st_nlink > 1;
  if (!inPlace_) {
    fd_ = ::mkstemp(pattern.data());
    if (fd_ < 0) {
      if (!oldExisted_) return fail("cannot create file", errno);
      inPlace_ = true;  // the folder refuses new files; the file itself may still be writable
    } else {
      temp_ = pattern;
      const mode_t mode = oldExisted_ ? (old.st_mode & 07777) : (0666 & ~CurrentUmask());
      ::fchmod(fd_, mode);
      if (oldExisted_ && ::fchown(fd_, old.st_uid, old.st_gid) != 0) {
        // Another owner's file would change hands by the rename: rewrite it in place instead.
        if (old.st_uid != ::geteuid()) {
          ::close(fd_);
          fd_ = -1;
          ::unlink(temp_.c_str());
          temp_.clear();
          inPlace_ = true;
        }
      }
    }
  }
  if (inPlace_) {
    fd_ = ::open(target_.c_str(), O_RDWR | O_CLOEXEC);
    if (fd_ < 0) return fail("cannot open file", errno);
    oldContent_.clear();
    if (!ReadAll(fd_, oldContent_)) {
      const int err = errno;
      ::close(fd_);
      fd_ = -1;
      return fail("cannot read file", err);
    }
    if (::lseek(fd_, 0, SEEK_SET) < 0) return fail("cannot seek", errno);
  }
  return true;
}

bool AtomicFileWriter::write(std::string_view bytes) {
  if (fd_ < 0) {
    if (error_.empty()) error_ = "file not open";
    return false;
  }
  if (!WriteAll(fd_, bytes)) return fail("cannot write", errno);
  return true;
}

bool AtomicFileWriter::commit() {
  if (fd_ < 0) {
    if (error_.empty()) error_ = "file not open";
    return false;
  }
  if (inPlace_) {
    const off_t end = ::lseek(fd_, 0, SEEK_CUR);
    if (end < 0 || ::ftruncate(fd_, end) != 0) return fail("cannot truncate", errno);
  }
  if (::fsync(fd_) != 0) return fail("cannot flush", errno);
  if (inPlace_) {
    oldContent_.clear();
    const int closed = ::close(fd_);
    fd_ = -1;
    if (closed != 0) {
      error_ = std::string("cannot close: ") + std::strerror(errno);
      return false;
    }
    return true;
  }
  if (::close(fd_) != 0) {
    fd_ = -1;
    const int err = errno;
    ::unlink(temp_.c_str());
    temp_.clear();
    error_ = std::string("cannot close: ") + std::strerror(err);
    return false;
  }
  fd_ = -1;
  if (::rename(temp_.c_str(), target_.c_str()) != 0) {
    const int err = errno;
    ::unlink(temp_.c_str());
    temp_.clear();
    error_ = std::string("cannot replace file: ") + std::strerror(err);
    return false;
  }
  temp_.clear();
  SyncFolder(target_.parent_path());
  return true;
}

bool WriteFileSafely(const fs::path& target, std::string_view content, std::string* error) {
  AtomicFileWriter writer(target);
  const bool ok = writer.begin() && writer.write(content) && writer.commit();
  if (!ok && error) *error = writer.error();
  return ok;
}

}  // namespace qv
