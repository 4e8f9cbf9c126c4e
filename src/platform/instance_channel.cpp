// AF_UNIX stream socket between instances: framing, private folder checks, peer credentials.
#include "platform/instance_channel.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <mutex>

namespace qv {
namespace fs = std::filesystem;

namespace {

// Wire layout of a request: number, payload length, wParam, lParam, then the payload bytes.
// The answer is one 64-bit result. Both ends run on the same machine: native byte order.
struct RequestHeader {
  std::uint32_t number;
  std::uint32_t payloadLength;
  std::int64_t wParam;
  std::int64_t lParam;
};

// "'<path>' <rest>", built by appending (concatenation chains trip a false GCC 12 warning).
std::string Named(const fs::path& path, const char* rest) {
  std::string text = "'";
  text += path.string();
  text += "' ";
  text += rest;
  return text;
}

std::string ErrnoText(const char* what, const fs::path& path) {
  std::string text = what;
  text += " '";
  text += path.string();
  text += "': ";
  text += std::strerror(errno);
  return text;
}

class Fd {
 public:
  explicit Fd(int fd = -1) : fd_(fd) {}
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  ~Fd() { reset(); }
  int get() const { return fd_; }
  int release() { return std::exchange(fd_, -1); }
  void reset(int fd = -1) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = fd;
  }

 private:
  int fd_;
};

// Waits until fd is readable or writable; timeoutMs < 0 waits forever.
bool WaitFor(int fd, short events, int timeoutMs) {
  pollfd p{fd, events, 0};
  for (;;) {
    const int r = ::poll(&p, 1, timeoutMs);
    if (r > 0) return true;
    if (r == 0) return false;
    if (errno != EINTR) return false;
  }
}

bool ReadExact(int fd, void* data, size_t size, int timeoutMs) {
  auto* p = static_cast<char*>(data);
  while (size > 0) {
    if (!WaitFor(fd, POLLIN, timeoutMs)) return false;
    const ssize_t n = ::recv(fd, p, size, 0);
    if (n == 0) return false;
    if (n < 0) {
      if (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK) continue;
      return false;
    }
    p += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

bool WriteAll(int fd, const void* data, size_t size) {
  const auto* p = static_cast<const char*>(data);
  while (size > 0) {
    const ssize_t n = ::send(fd, p, size, MSG_NOSIGNAL);
    if (n < 0) {
      if (errno == EINTR) continue;
      if (errno == EAGAIN || errno == EWOULDBLOCK) {
        if (!WaitFor(fd, POLLOUT, 5000)) return false;
        continue;
      }
      return false;
    }
    p += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

std::optional<uid_t> PeerUid(int fd) {
  ucred cred{};
  socklen_t len = sizeof cred;
  if (::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &cred, &len) != 0) return std::nullopt;
  return cred.uid;
}

std::optional<sockaddr_un> SocketAddress(const fs::path& path) {
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  const std::string s = path.string();
  if (s.empty() || s.size() >= sizeof addr.sun_path) return std::nullopt;
  std::memcpy(addr.sun_path, s.c_str(), s.size() + 1);
  return addr;
}

// The socket file must be a socket of ours that nobody else can write to.
std::string CheckSocketFile(const fs::path& path, uid_t owner) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0) return ErrnoText("cannot examine", path);
  if (!S_ISSOCK(st.st_mode)) return Named(path, "is not a socket");
  if (st.st_uid != owner) return Named(path, "belongs to another user");
  if (st.st_mode & (S_IRWXG | S_IRWXO)) return Named(path, "can be reached by other users");
  return {};
}

enum class ConnectResult { Connected, NoListener, Failed };

ConnectResult TryConnect(const InstanceChannelOptions& options, Fd& out, std::string& error) {
  struct stat st {};
  if (::lstat(options.socketPath.c_str(), &st) != 0) {
    if (errno == ENOENT) return ConnectResult::NoListener;
    error = ErrnoText("cannot examine", options.socketPath);
    return ConnectResult::Failed;
  }
  if (std::string bad = CheckSocketFile(options.socketPath, options.owner); !bad.empty()) {
    error = bad;
    return ConnectResult::Failed;
  }
  const auto addr = SocketAddress(options.socketPath);
  if (!addr) {
    error = Named(options.socketPath, "is too long for a socket name");
    return ConnectResult::Failed;
  }
  Fd fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
  if (fd.get() < 0) {
    error = ErrnoText("cannot make a socket for", options.socketPath);
    return ConnectResult::Failed;
  }
  int r;
  do {
    r = ::connect(fd.get(), reinterpret_cast<const sockaddr*>(&*addr), sizeof *addr);
  } while (r != 0 && errno == EINTR);
  if (r != 0) {
    if (errno == ECONNREFUSED || errno == ENOENT) return ConnectResult::NoListener;
    error = ErrnoText("cannot connect to", options.socketPath);
    return ConnectResult::Failed;
  }
  const auto peer = PeerUid(fd.get());
  if (!peer || *peer != options.owner) {
    error = Named(options.socketPath, "is served by another user");
    return ConnectResult::Failed;
  }
  out.reset(fd.release());
  return ConnectResult::Connected;
}

}  // namespace

InstanceChannelOptions DefaultInstanceChannelOptions() {
  InstanceChannelOptions options;
  options.owner = ::geteuid();
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  fs::path folder = (runtime && *runtime == '/') ? fs::path(runtime) / "quirvane"
                                                 : fs::path("/tmp") / ("quirvane-" + std::to_string(options.owner));
  options.socketPath = folder / "instance.sock";
  return options;
}

std::string EnsurePrivateFolder(const fs::path& folder, uid_t owner) {
  if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return ErrnoText("cannot make folder", folder);
  struct stat st {};
  if (::lstat(folder.c_str(), &st) != 0) return ErrnoText("cannot examine", folder);
  if (!S_ISDIR(st.st_mode)) return Named(folder, "is not a folder");
  if (st.st_uid != owner) return Named(folder, "belongs to another user");
  if (st.st_mode & (S_IRWXG | S_IRWXO)) return Named(folder, "can be reached by other users");
  return {};
}

// ---- InstanceClient ----

InstanceClient::InstanceClient(int fd, int answerTimeoutMs) : fd_(fd), answerTimeoutMs_(answerTimeoutMs) {}

InstanceClient::InstanceClient(InstanceClient&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), answerTimeoutMs_(other.answerTimeoutMs_) {}

InstanceClient& InstanceClient::operator=(InstanceClient&& other) noexcept {
  if (this != &other) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = std::exchange(other.fd_, -1);
    answerTimeoutMs_ = other.answerTimeoutMs_;
  }
  return *this;
}

InstanceClient::~InstanceClient() {
  if (fd_ >= 0) ::close(fd_);
}

std::optional<std::int64_t> InstanceClient::send(const InstanceMessage& message) {
  if (fd_ < 0 || message.payload.size() > kMaxInstancePayload) return std::nullopt;
  const RequestHeader header{message.number, static_cast<std::uint32_t>(message.payload.size()),
                             message.wParam, message.lParam};
  std::int64_t answer = 0;
  if (!WriteAll(fd_, &header, sizeof header) || !WriteAll(fd_, message.payload.data(), message.payload.size()) ||
      !ReadExact(fd_, &answer, sizeof answer, answerTimeoutMs_)) {
    ::close(fd_);
    fd_ = -1;
    return std::nullopt;
  }
  return answer;
}

// ---- InstanceServer ----

InstanceServer::InstanceServer(int fd, fs::path path, InstanceChannelOptions options)
    : fd_(fd), path_(std::move(path)), options_(std::move(options)) {
  struct stat st {};
  if (::lstat(path_.c_str(), &st) == 0) {
    dev_ = st.st_dev;
    ino_ = st.st_ino;
  }
}

InstanceServer::~InstanceServer() {
  // Another program may have replaced the file meanwhile; only our own socket is removed.
  struct stat st {};
  if (::lstat(path_.c_str(), &st) == 0 && st.st_dev == dev_ && st.st_ino == ino_) ::unlink(path_.c_str());
  if (fd_ >= 0) ::close(fd_);
}

void InstanceServer::serveReady(InstanceRequestHandler& handler) {
  if (serving_) return;
  const int conn = ::accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
  if (conn < 0) return;
  Fd guard(conn);
  const auto peer = PeerUid(conn);
  if (!peer || *peer != options_.owner) {
    ++refusedPeers_;
    return;
  }
  serving_ = true;
  serveConnection(conn, handler);
  serving_ = false;
  handler.peerClosed();
}

void InstanceServer::serveConnection(int conn, InstanceRequestHandler& handler) {
  for (;;) {
    RequestHeader header{};
    if (!ReadExact(conn, &header, sizeof header, options_.readTimeoutMs)) return;
    if (header.payloadLength > kMaxInstancePayload) return;
    InstanceMessage message{header.number, header.wParam, header.lParam, std::string(header.payloadLength, '\0')};
    if (!ReadExact(conn, message.payload.data(), message.payload.size(), options_.readTimeoutMs)) return;
    const std::int64_t answer = handler.handle(message);
    if (!WriteAll(conn, &answer, sizeof answer)) return;
  }
}

// ---- Opening ----

InstanceChannel OpenInstanceChannel(const InstanceChannelOptions& options) {
  InstanceChannel channel;
  if (std::string bad = EnsurePrivateFolder(options.socketPath.parent_path(), options.owner); !bad.empty()) {
    channel.error = bad;
    return channel;
  }
  if (!SocketAddress(options.socketPath)) {
    channel.error = Named(options.socketPath, "is too long for a socket name");
    return channel;
  }
  // The lock makes "nobody listens, so I listen" one step for two programs starting together.
  fs::path lockPath = options.socketPath;
  lockPath += ".lock";
  Fd lock(::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600));
  if (lock.get() < 0) {
    channel.error = ErrnoText("cannot open", lockPath);
    return channel;
  }
  while (::flock(lock.get(), LOCK_EX) != 0) {
    if (errno != EINTR) {
      channel.error = ErrnoText("cannot lock", lockPath);
      return channel;
    }
  }

  Fd conn;
  switch (TryConnect(options, conn, channel.error)) {
    case ConnectResult::Connected:
      channel.client.emplace(conn.release(), options.answerTimeoutMs);
      return channel;
    case ConnectResult::Failed:
      return channel;
    case ConnectResult::NoListener:
      break;
  }

  // Nobody answers: a socket file still there was left by a program that ended abruptly.
  if (::unlink(options.socketPath.c_str()) != 0 && errno != ENOENT) {
    channel.error = ErrnoText("cannot remove the stale socket", options.socketPath);
    return channel;
  }
  Fd fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
  if (fd.get() < 0) {
    channel.error = ErrnoText("cannot make a socket for", options.socketPath);
    return channel;
  }
  const auto addr = SocketAddress(options.socketPath);
  const mode_t oldMask = ::umask(0177);  // the file is born 0600
  const int bound = ::bind(fd.get(), reinterpret_cast<const sockaddr*>(&*addr), sizeof *addr);
  ::umask(oldMask);
  if (bound != 0) {
    channel.error = ErrnoText("cannot bind", options.socketPath);
    return channel;
  }
  ::chmod(options.socketPath.c_str(), 0600);
  if (::listen(fd.get(), 16) != 0) {
    channel.error = ErrnoText("cannot listen on", options.socketPath);
    ::unlink(options.socketPath.c_str());
    return channel;
  }
  channel.server = std::make_unique<InstanceServer>(fd.release(), options.socketPath, options);
  return channel;
}

// ---- InstanceListenerThread ----

// Carries each message over to the UI thread and waits there for its answer.
class InstanceListenerThread::Relay : public InstanceRequestHandler {
 public:
  Relay(InstanceRequestHandler& target, PostFn post) : target_(target), post_(std::move(post)) {}

  ~Relay() override { stop(); }

  void stop() {
    std::lock_guard lock(state_->mutex);
    state_->stopped = true;
    state_->cv.notify_all();
  }

  std::int64_t handle(const InstanceMessage& message) override {
    auto state = state_;
    std::uint64_t ticket;
    {
      std::lock_guard lock(state->mutex);
      if (state->stopped) return 0;
      ticket = ++state->issued;
    }
    InstanceRequestHandler* target = &target_;
    post_([state, target, message, ticket] {
      {
        std::lock_guard lock(state->mutex);
        if (state->stopped) return;
      }
      const std::int64_t answer = target->handle(message);
      std::lock_guard lock(state->mutex);
      state->answered = ticket;
      state->answer = answer;
      state->cv.notify_all();
    });
    std::unique_lock lock(state->mutex);
    state->cv.wait(lock, [&] { return state->stopped || state->answered == ticket; });
    return state->answered == ticket ? state->answer : 0;
  }

  void peerClosed() override {
    auto state = state_;
    InstanceRequestHandler* target = &target_;
    post_([state, target] {
      {
        std::lock_guard lock(state->mutex);
        if (state->stopped) return;
      }
      target->peerClosed();
    });
  }

 private:
  struct State {
    std::mutex mutex;
    std::condition_variable cv;
    bool stopped = false;
    std::uint64_t issued = 0;
    std::uint64_t answered = 0;
    std::int64_t answer = 0;
  };
  InstanceRequestHandler& target_;
  PostFn post_;
  std::shared_ptr<State> state_ = std::make_shared<State>();
};

InstanceListenerThread::InstanceListenerThread(InstanceServer& server, InstanceRequestHandler& handler, PostFn post)
    : server_(server), relay_(std::make_unique<Relay>(handler, std::move(post))) {
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) == 0) {
    wakeRead_ = fds[0];
    wakeWrite_ = fds[1];
  }
  thread_ = std::thread([this] { run(); });
}

InstanceListenerThread::~InstanceListenerThread() {
  relay_->stop();
  if (wakeWrite_ >= 0) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(wakeWrite_, &byte, 1);
  }
  if (thread_.joinable()) thread_.join();
  if (wakeRead_ >= 0) ::close(wakeRead_);
  if (wakeWrite_ >= 0) ::close(wakeWrite_);
}

void InstanceListenerThread::run() {
  if (wakeRead_ < 0) return;
  for (;;) {
    pollfd fds[2] = {{server_.fd(), POLLIN, 0}, {wakeRead_, POLLIN, 0}};
    const int r = ::poll(fds, 2, -1);
    if (r < 0 && errno == EINTR) continue;
    if (r < 0 || (fds[1].revents & POLLIN)) return;
    if (fds[0].revents & POLLIN) server_.serveReady(*relay_);
  }
}

}  // namespace qv
