// The instance socket: request and answer, stale sockets, private folders and peer checks.
#include "platform/instance_channel.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <condition_variable>
#include <cstring>
#include <deque>
#include <mutex>
#include <thread>

#include "support/test_env.h"

namespace qv {
namespace {
namespace fs = std::filesystem;

InstanceChannelOptions OptionsIn(const fs::path& dir) {
  InstanceChannelOptions options;
  options.socketPath = dir / "private" / "instance.sock";
  options.owner = ::geteuid();
  options.readTimeoutMs = 2000;
  options.answerTimeoutMs = 5000;
  return options;
}

// A socket file with nobody behind it, as a killed program leaves it.
void LeaveSocketFile(const InstanceChannelOptions& options) {
  ASSERT_EQ(EnsurePrivateFolder(options.socketPath.parent_path(), options.owner), "");
  const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  std::strncpy(addr.sun_path, options.socketPath.c_str(), sizeof addr.sun_path - 1);
  ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
  ::chmod(options.socketPath.c_str(), 0600);
  ::close(fd);
}

// Records messages and answers each with its wParam plus one.
struct EchoHandler : InstanceRequestHandler {
  std::vector<InstanceMessage> seen;
  int closed = 0;
  std::int64_t handle(const InstanceMessage& m) override {
    seen.push_back(m);
    return m.wParam + 1;
  }
  void peerClosed() override { ++closed; }
};

// Serves connections on this thread until `count` peers have come and gone.
void ServePeers(InstanceServer& server, InstanceRequestHandler& handler, int count) {
  for (int i = 0; i < count; ++i) {
    pollfd p{server.fd(), POLLIN, 0};
    ASSERT_EQ(::poll(&p, 1, 5000), 1) << "no peer came";
    server.serveReady(handler);
  }
}

TEST(InstanceChannel, FirstStartListensAndTheSecondGetsAnswers) {
  const InstanceChannelOptions options = OptionsIn(test::FreshDir("channel"));
  InstanceChannel first = OpenInstanceChannel(options);
  ASSERT_TRUE(first.server) << first.error;
  struct stat st {};
  ASSERT_EQ(::stat(options.socketPath.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  ASSERT_EQ(::stat(options.socketPath.parent_path().c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);

  std::vector<std::optional<std::int64_t>> answers;
  std::thread second([&] {
    InstanceChannel channel = OpenInstanceChannel(options);
    ASSERT_TRUE(channel.client) << channel.error;
    answers.push_back(channel.client->send({kMsgInstanceQuery, 41, 0, {}}));
    answers.push_back(channel.client->send({kMsgHandOverChunk, 6, 5, "a.txt"}));
  });
  EchoHandler handler;
  ServePeers(*first.server, handler, 1);
  second.join();

  ASSERT_EQ(answers.size(), 2u);
  EXPECT_EQ(answers[0], 42);
  EXPECT_EQ(answers[1], 7);
  ASSERT_EQ(handler.seen.size(), 2u);
  EXPECT_EQ(handler.seen[1].number, kMsgHandOverChunk);
  EXPECT_EQ(handler.seen[1].lParam, 5);
  EXPECT_EQ(handler.seen[1].payload, "a.txt");
  EXPECT_EQ(handler.closed, 1);

  first.server.reset();
  EXPECT_FALSE(fs::exists(options.socketPath)) << "the socket file is removed at the end";
}

TEST(InstanceChannel, StaleSocketOfAKilledProgramIsReplaced) {
  const InstanceChannelOptions options = OptionsIn(test::FreshDir("stale"));
  LeaveSocketFile(options);
  ASSERT_TRUE(fs::exists(options.socketPath));
  InstanceChannel next = OpenInstanceChannel(options);
  EXPECT_TRUE(next.server) << next.error;
  EXPECT_FALSE(next.client);
}

TEST(InstanceChannel, RefusesFoldersAndSocketsOthersCouldReach) {
  struct Case {
    const char* name;
    std::function<void(InstanceChannelOptions&)> spoil;
    const char* error;
  };
  const Case cases[] = {
      {"folder readable by others", [](InstanceChannelOptions& o) { fs::create_directories(o.socketPath.parent_path());
         fs::permissions(o.socketPath.parent_path(), fs::perms(0755)); }, "can be reached by other users"},
      {"folder of another user", [](InstanceChannelOptions& o) { o.owner = ::geteuid() + 1; }, "belongs to another user"},
      {"folder is a symlink", [](InstanceChannelOptions& o) {
         fs::create_directories(o.socketPath.parent_path().parent_path() / "real");
         fs::permissions(o.socketPath.parent_path().parent_path() / "real", fs::perms::owner_all, fs::perm_options::replace);
         fs::create_directory_symlink("real", o.socketPath.parent_path()); }, "is not a folder"},
      {"socket open to everyone", [](InstanceChannelOptions& o) {
         LeaveSocketFile(o);
         fs::permissions(o.socketPath, fs::perms(0666)); }, "can be reached by other users"},
      {"plain file instead of a socket", [](InstanceChannelOptions& o) {
         fs::create_directories(o.socketPath.parent_path());
         fs::permissions(o.socketPath.parent_path(), fs::perms::owner_all, fs::perm_options::replace);
         test::WriteFileBytes(o.socketPath, "x"); }, "is not a socket"},
  };
  for (const Case& c : cases) {
    InstanceChannelOptions options = OptionsIn(test::FreshDir("refuse"));
    c.spoil(options);
    InstanceChannel channel = OpenInstanceChannel(options);
    EXPECT_FALSE(channel.server) << c.name;
    EXPECT_FALSE(channel.client) << c.name;
    EXPECT_NE(channel.error.find(c.error), std::string::npos) << c.name << ": " << channel.error;
  }
}

TEST(InstanceChannel, PeerOfAnotherUserIsDroppedUnserved) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to act as another user";
  // Outside the test's private temp root, which strangers cannot enter.
  std::string pattern = (fs::temp_directory_path() / "qvpeer-XXXXXX").string();
  ASSERT_TRUE(::mkdtemp(pattern.data()));
  const fs::path dir = pattern;
  struct Remove {
    fs::path dir;
    ~Remove() { fs::remove_all(dir); }
  } remove{dir};
  const InstanceChannelOptions options = OptionsIn(dir);
  InstanceChannel first = OpenInstanceChannel(options);
  ASSERT_TRUE(first.server);
  // Open the file system doors wide: only the credential check is left to keep the stranger out.
  fs::permissions(dir, fs::perms::all);
  fs::permissions(options.socketPath.parent_path(), fs::perms::all);
  fs::permissions(options.socketPath, fs::perms::all);

  const pid_t child = ::fork();
  if (child == 0) {
    if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(3);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::strncpy(addr.sun_path, options.socketPath.c_str(), sizeof addr.sun_path - 1);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) ::_exit(4);
    InstanceClient client(fd, 5000);
    ::_exit(client.send({kMsgInstanceQuery, 0, 0, {}}) ? 1 : 0);
  }
  EchoHandler handler;
  ServePeers(*first.server, handler, 1);
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "the stranger got an answer (1) or could not even connect (4)";
  EXPECT_EQ(first.server->refusedPeers(), 1);
  EXPECT_TRUE(handler.seen.empty());
}

TEST(InstanceChannel, PeerAnnouncingAnOversizedPayloadIsDropped) {
  const InstanceChannelOptions options = OptionsIn(test::FreshDir("oversize"));
  InstanceChannel first = OpenInstanceChannel(options);
  ASSERT_TRUE(first.server);
  std::optional<std::int64_t> answer = 99;
  std::thread second([&] {
    InstanceChannel channel = OpenInstanceChannel(options);
    ASSERT_TRUE(channel.client);
    answer = channel.client->send({kMsgHandOverChunk, 0, 0, std::string(kMaxInstancePayload + 1, 'x')});
  });
  second.join();  // refused on the sending side already: nothing is written
  EXPECT_FALSE(answer);

  // A hostile peer writes the header itself.
  std::thread raw([&] {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::strncpy(addr.sun_path, options.socketPath.c_str(), sizeof addr.sun_path - 1);
    ASSERT_EQ(::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    const std::uint32_t header[6] = {kMsgHandOverChunk, 0xFFFFFFFFu, 0, 0, 0, 0};
    ASSERT_EQ(::write(fd, header, sizeof header), static_cast<ssize_t>(sizeof header));
    char byte;
    EXPECT_EQ(::read(fd, &byte, 1), 0) << "the running side hangs up";
    ::close(fd);
  });
  EchoHandler handler;
  ServePeers(*first.server, handler, 2);
  raw.join();
  EXPECT_TRUE(handler.seen.empty());
}

// A stand-in for the UI thread's event queue.
class UiQueue {
 public:
  void post(std::function<void()> f) {
    std::lock_guard lock(mutex_);
    queue_.push_back(std::move(f));
    cv_.notify_all();
  }
  // Runs posted work until `done` holds.
  void runUntil(const std::function<bool()>& done) {
    while (!done()) {
      std::unique_lock lock(mutex_);
      cv_.wait_for(lock, std::chrono::milliseconds(50), [&] { return !queue_.empty(); });
      while (!queue_.empty()) {
        auto f = std::move(queue_.front());
        queue_.pop_front();
        lock.unlock();
        f();
        lock.lock();
      }
    }
  }

 private:
  std::mutex mutex_;
  std::condition_variable cv_;
  std::deque<std::function<void()>> queue_;
};

TEST(InstanceChannel, ListenerThreadHandlesEachMessageOnTheUiThread) {
  const InstanceChannelOptions options = OptionsIn(test::FreshDir("thread"));
  InstanceChannel first = OpenInstanceChannel(options);
  ASSERT_TRUE(first.server);
  struct ThreadCheck : EchoHandler {
    std::thread::id ui = std::this_thread::get_id();
    bool offThread = false;
    std::int64_t handle(const InstanceMessage& m) override {
      offThread |= std::this_thread::get_id() != ui;
      return EchoHandler::handle(m);
    }
  } handler;
  UiQueue ui;
  std::atomic<bool> finished{false};
  std::vector<std::optional<std::int64_t>> answers;
  {
    InstanceListenerThread listener(*first.server, handler, [&](std::function<void()> f) { ui.post(std::move(f)); });
    std::thread second([&] {
      InstanceChannel channel = OpenInstanceChannel(options);
      ASSERT_TRUE(channel.client);
      for (int i = 0; i < 3; ++i) answers.push_back(channel.client->send({kMsgPaintLock, i * 10, 1, {}}));
      finished = true;
    });
    ui.runUntil([&] { return finished.load(); });
    second.join();
    ui.runUntil([&] { return handler.closed == 1; });
  }
  EXPECT_EQ(answers, (std::vector<std::optional<std::int64_t>>{1, 11, 21}));
  EXPECT_FALSE(handler.offThread);
}

}  // namespace
}  // namespace qv
