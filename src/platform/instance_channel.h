// The per-user local socket over which a second start of the program talks to the running one.
#pragma once
#include <sys/types.h>

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <utility>

namespace qv {

// Message numbers between instances (kept from the window messages they stand for).
inline constexpr std::uint32_t kMsgHandOverChunk = 2025;  // payload: one chunk; lParam: its length
inline constexpr std::uint32_t kMsgInstanceQuery = 2026;  // answer 1: several instances allowed
inline constexpr std::uint32_t kMsgPaintLock = 2027;      // lParam 1: lock painting; else unlock one

// Largest payload one message may carry; a peer that announces more is dropped.
inline constexpr std::uint32_t kMaxInstancePayload = 64 * 1024;

struct InstanceMessage {
  std::uint32_t number = 0;
  std::int64_t wParam = 0;
  std::int64_t lParam = 0;
  std::string payload;
};

// Where the socket lives and who may use it.
struct InstanceChannelOptions {
  std::filesystem::path socketPath;  // its folder must be private to `owner`
  uid_t owner = 0;                   // the only user allowed at either end
  int readTimeoutMs = 5000;          // the running side waits this long for a peer's next bytes
  int answerTimeoutMs = -1;          // the starting side waits this long for an answer (-1: forever)
};

// $XDG_RUNTIME_DIR/quirvane/instance.sock (or /tmp/quirvane-<uid>/ without a runtime folder),
// owned by the effective user.
InstanceChannelOptions DefaultInstanceChannelOptions();

// Makes `folder` if missing (mode 0700); refuses it when it is a symlink, belongs to another user
// or can be reached by others. Returns an error text, empty when the folder is fit for use.
std::string EnsurePrivateFolder(const std::filesystem::path& folder, uid_t owner);

// The running program's side of a request: one handler call per message, in arrival order.
class InstanceRequestHandler {
 public:
  virtual ~InstanceRequestHandler() = default;
  virtual std::int64_t handle(const InstanceMessage& message) = 0;
  // The peer went away; anything it left half-done can be dropped.
  virtual void peerClosed() {}
};

// A connection from a starting program to the running one; synchronous request and answer.
class InstanceClient {
 public:
  explicit InstanceClient(int fd, int answerTimeoutMs);
  InstanceClient(InstanceClient&& other) noexcept;
  InstanceClient& operator=(InstanceClient&& other) noexcept;
  InstanceClient(const InstanceClient&) = delete;
  InstanceClient& operator=(const InstanceClient&) = delete;
  ~InstanceClient();

  // Sends one message and waits for the running program's answer; nothing when the
  // connection broke or no answer came in time.
  std::optional<std::int64_t> send(const InstanceMessage& message);

 private:
  int fd_ = -1;
  int answerTimeoutMs_ = -1;
};

// The running program's listening socket. Plug fd() into an event loop (a socket notifier)
// and call serveReady() when it is readable, or let an InstanceListenerThread drive it.
class InstanceServer {
 public:
  InstanceServer(int fd, std::filesystem::path path, InstanceChannelOptions options);
  InstanceServer(const InstanceServer&) = delete;
  InstanceServer& operator=(const InstanceServer&) = delete;
  ~InstanceServer();  // closes the socket and removes its file if it is still ours

  int fd() const { return fd_; }

  // Accepts one waiting connection (if any) and serves it until the peer closes it, breaks the
  // protocol or stays silent longer than the read timeout. A peer of another user is dropped
  // unserved. Returns at once when called again from inside a handler.
  void serveReady(InstanceRequestHandler& handler);

  // Number of connections dropped because the peer was another user.
  int refusedPeers() const { return refusedPeers_; }

 private:
  void serveConnection(int conn, InstanceRequestHandler& handler);

  int fd_ = -1;
  std::filesystem::path path_;
  InstanceChannelOptions options_;
  dev_t dev_ = 0;
  ino_t ino_ = 0;
  bool serving_ = false;
  std::atomic<int> refusedPeers_{0};
};

// Either a connection to the program already running, or the listening socket of this
// process, which is now the running program.
struct InstanceChannel {
  std::optional<InstanceClient> client;
  std::unique_ptr<InstanceServer> server;
  std::string error;  // both empty: the channel could not be set up (the text says why)
};

// Connects to a running program, or listens when there is none. A socket file left by a
// program that ended without removing it is replaced. Two programs starting at once agree:
// exactly one of them listens.
InstanceChannel OpenInstanceChannel(const InstanceChannelOptions& options);

// Runs an InstanceServer on a thread of its own; each message is handled on the thread that
// `post` delivers to (the UI thread), and its answer goes back to the peer.
class InstanceListenerThread {
 public:
  using PostFn = std::function<void(std::function<void()>)>;
  InstanceListenerThread(InstanceServer& server, InstanceRequestHandler& handler, PostFn post);
  InstanceListenerThread(const InstanceListenerThread&) = delete;
  InstanceListenerThread& operator=(const InstanceListenerThread&) = delete;
  ~InstanceListenerThread();  // stops and joins; answers still pending are abandoned

 private:
  class Relay;
  void run();

  InstanceServer& server_;
  std::unique_ptr<Relay> relay_;
  int wakeRead_ = -1;
  int wakeWrite_ = -1;
  std::thread thread_;
};

}  // namespace qv
