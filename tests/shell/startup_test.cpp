// Second starts as real processes handing over to this one; the start action and the blank document.
#include "shell/startup.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "fake_hosts.h"
#include "shell/handover.h"

namespace qv {
namespace {
namespace fs = std::filesystem;
using Args = std::vector<std::string>;

InstanceChannelOptions OptionsIn(const fs::path& dir) {
  InstanceChannelOptions options;
  options.socketPath = dir / "run" / "instance.sock";
  options.owner = ::geteuid();
  options.readTimeoutMs = 5000;
  options.answerTimeoutMs = 10000;
  return options;
}

// A second start of the program: a child process in `folder` deciding with `args`.
// Its exit code is its StartupRole.
pid_t SecondStart(const InstanceChannelOptions& options, const fs::path& folder, const Args& args) {
  const pid_t pid = ::fork();
  if (pid == 0) {
    if (::chdir(folder.c_str()) != 0) ::_exit(100);
    const StartupDecision d = DecideStartup(options, args, fs::current_path());
    if (d.role == StartupRole::First) ::pause();  // stays the running program until killed
    ::_exit(static_cast<int>(d.role));
  }
  return pid;
}

// The running program: answers instance messages and runs each hand-over's command line.
struct RunningProgram : RunningInstanceHost {
  bool several = false;
  int chunks = 0;
  std::vector<Args> arrived;
  test::RecordingHost window;
  fs::path folder;
  explicit RunningProgram(const fs::path& dir) : window(dir), folder(dir) {}

  bool allowsAnotherInstance() override { return several; }
  void handOverChunkArrived() override { ++chunks; }
  void handOverArrived(const Args& args) override {
    arrived.push_back(args);
    ProcessCommandLine(args, window, {folder, nullptr, {}});
  }
  void handOverRefused() override {}
  void beginPaintLock() override {}
  void endPaintLock() override {}

  // Serves peers until the child ends; returns its exit code.
  int serveUntilExit(InstanceServer& server, pid_t child) {
    RunningInstance handler(*this);
    for (int rounds = 0; rounds < 1000; ++rounds) {
      int status = 0;
      if (::waitpid(child, &status, WNOHANG) == child) return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
      pollfd p{server.fd(), POLLIN, 0};
      if (::poll(&p, 1, 20) == 1) server.serveReady(handler);
    }
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    return -2;
  }
};

TEST(Startup, SecondStartHandsOverNamesExpandedInItsOwnFolder) {
  const fs::path dir = test::FreshDir("handover");
  test::WriteFileBytes(dir / "sub" / "a.txt", "a");
  test::WriteFileBytes(dir / "b.txt", "b");
  const InstanceChannelOptions options = OptionsIn(dir);
  StartupDecision first = DecideStartup(options, {}, dir);
  ASSERT_EQ(first.role, StartupRole::First) << first.error;

  RunningProgram program(dir);
  const pid_t child = SecondStart(options, dir / "sub", {"a.txt", "../b.txt", "/G3:7", "/R"});
  EXPECT_EQ(program.serveUntilExit(*first.server, child), static_cast<int>(StartupRole::HandedOver));
  const Args expected{(dir / "sub/a.txt").string(), (dir / "b.txt").string(), "/G3:7", "/R"};
  EXPECT_EQ(program.arrived, std::vector<Args>{expected});
  EXPECT_EQ(program.window.log,
            (Args{"open sub/a.txt", "open b.txt", "goto #2 2 6", "lock #2"}));
}

TEST(Startup, TwentyThousandCharactersArriveWholeAndActOnce) {
  const fs::path dir = test::FreshDir("long");
  const InstanceChannelOptions options = OptionsIn(dir);
  StartupDecision first = DecideStartup(options, {}, dir);
  ASSERT_EQ(first.role, StartupRole::First) << first.error;

  Args args;
  size_t length = 0;
  for (int i = 0; length < 20000; ++i) {
    args.push_back("file-" + std::to_string(i) + "-" + std::string(40, 'q') + ".txt");
    length += args.back().size() + 1;
  }
  args.push_back("/C");
  RunningProgram program(dir);
  const pid_t child = SecondStart(options, dir, args);
  EXPECT_EQ(program.serveUntilExit(*first.server, child), static_cast<int>(StartupRole::HandedOver));
  ASSERT_EQ(program.arrived.size(), 1u);
  const Args& got = program.arrived[0];
  ASSERT_EQ(got.size(), args.size());
  EXPECT_EQ(got.front(), (dir / args.front()).string());
  EXPECT_EQ(got.back(), "/C");
  const size_t sent = HandOverText(args, dir)->size();
  EXPECT_EQ(program.chunks, static_cast<int>((sent + kHandOverChunkSize - 1) / kHandOverChunkSize));
}

TEST(Startup, RunningProgramWithMultipleInstancesLetsTheSecondRun) {
  const fs::path dir = test::FreshDir("multi");
  const InstanceChannelOptions options = OptionsIn(dir);
  StartupDecision first = DecideStartup(options, {}, dir);
  ASSERT_EQ(first.role, StartupRole::First);
  RunningProgram program(dir);
  program.several = true;
  const pid_t child = SecondStart(options, dir, {"a.txt"});
  EXPECT_EQ(program.serveUntilExit(*first.server, child), static_cast<int>(StartupRole::Additional));
  EXPECT_TRUE(program.arrived.empty());
  EXPECT_EQ(program.chunks, 0);
}

TEST(Startup, SecondStartWithoutArgumentsSendsNothing) {
  const fs::path dir = test::FreshDir("noargs");
  const InstanceChannelOptions options = OptionsIn(dir);
  StartupDecision first = DecideStartup(options, {}, dir);
  ASSERT_EQ(first.role, StartupRole::First);
  RunningProgram program(dir);
  const pid_t child = SecondStart(options, dir, {});
  EXPECT_EQ(program.serveUntilExit(*first.server, child), static_cast<int>(StartupRole::HandedOver));
  EXPECT_EQ(program.chunks, 0);
}

TEST(Startup, KilledProgramDoesNotBlockTheNextStart) {
  const fs::path dir = test::FreshDir("killed");
  const InstanceChannelOptions options = OptionsIn(dir);
  const pid_t running = SecondStart(options, dir, {});  // no one runs yet: it becomes the first
  for (int i = 0; i < 500 && !fs::exists(options.socketPath); ++i) ::usleep(10000);
  ASSERT_TRUE(fs::exists(options.socketPath));
  ::kill(running, SIGKILL);
  int status = 0;
  ::waitpid(running, &status, 0);
  ASSERT_TRUE(fs::exists(options.socketPath)) << "a killed program leaves its socket file";

  const StartupDecision next = DecideStartup(options, {"a.txt"}, dir);
  EXPECT_EQ(next.role, StartupRole::First) << next.error;
  EXPECT_TRUE(next.server);
}

TEST(Startup, UnusableChannelStillLetsTheProgramRun) {
  const fs::path dir = test::FreshDir("unusable");
  InstanceChannelOptions options = OptionsIn(dir);
  options.owner = ::geteuid() + 1;  // the folder is not ours
  const StartupDecision d = DecideStartup(options, {"a.txt"}, dir);
  EXPECT_EQ(d.role, StartupRole::Standalone);
  EXPECT_NE(d.error.find("another user"), std::string::npos) << d.error;
}

TEST(StartAction, EachValue) {
  struct Case {
    const char* what;
    int action;
    LastOpenFiles last;
    Args log;
  };
  const fs::path dir = test::FreshDir("start");
  test::WriteFileBytes(dir / "a.txt", "a");
  test::WriteFileBytes(dir / "b.txt", "b");
  test::WriteFileBytes(dir / "w.cpr", "QVPROJECT");
  const std::string a = (dir / "a.txt").string(), b = (dir / "b.txt").string(), gone = (dir / "gone.txt").string();
  const std::string project = (dir / "w.cpr").string();
  const Case cases[] = {
      {"do nothing", 0, {project, {a}, a}, {}},
      {"blank file", 1, {project, {a}, a}, {"new"}},
      {"last files: missing ones skipped quietly, the active one activated", 2, {"", {a, gone, b}, a},
       {"open a.txt", "open b.txt", "activate #1"}},
      {"last project first, then the files", 2, {project, {b}, ""}, {"project w.cpr", "open b.txt"}},
      {"a project that is gone is skipped", 2, {(dir / "gone.cpr").string(), {}, gone}, {}},
      {"unknown value", 7, {project, {a}, a}, {}},
  };
  for (const Case& c : cases) {
    test::RecordingHost host(dir);
    InitialBlank blank;
    PerformStartAction(c.action, c.last, host, blank);
    EXPECT_EQ(host.log, c.log) << c.what;
    EXPECT_EQ(blank.marked().has_value(), c.action == 1) << c.what;
  }
}

TEST(StartAction, InitialBlankClosesOnceOnTheFirstOpenedFile) {
  InitialBlank blank;
  blank.created(5);
  EXPECT_EQ(blank.fileOpened(), std::optional<DocumentHandle>(5));
  EXPECT_EQ(blank.fileOpened(), std::nullopt);
  blank.created(6);
  EXPECT_EQ(blank.fileOpened(), std::nullopt) << "at most once per run";

  InitialBlank edited;
  edited.created(1);
  edited.unmark(1);
  EXPECT_EQ(edited.fileOpened(), std::nullopt);
  EXPECT_FALSE(edited.replaced());
}

}  // namespace
}  // namespace qv
