// Handing a second start's arguments to the running program: the text and its chunks on the
// sending side, their reassembly and the answers to instance messages on the running side.
#pragma once
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/instance_channel.h"

namespace qv {

inline constexpr std::size_t kHandOverChunkSize = 200;
inline constexpr char kHandOverSeparator = '\t';
inline constexpr char kHandOverEnd = '\x1b';
// The buffer starts at this size and grows as chunks need, up to kHandOverLimit; a hand-over
// longer than that is refused whole rather than cut.
inline constexpr std::size_t kHandOverInitialBuffer = 16000;
inline constexpr std::size_t kHandOverLimit = 4 * 1024 * 1024;

// The text sent for the arguments: each trimmed, relative file names made full against
// currentDir, TAB-separated, ESC at the end. Nothing when there are no arguments at all.
std::optional<std::string> HandOverText(const std::vector<std::string>& args,
                                        const std::filesystem::path& currentDir);

// The text cut into pieces of kHandOverChunkSize bytes; the last one holds the remainder.
std::vector<std::string> HandOverChunks(std::string_view text);

// Sends the arguments to the running program chunk by chunk, each answered before the next.
// False when the connection broke before the last chunk was answered.
bool SendHandOver(InstanceClient& client, const std::vector<std::string>& args,
                  const std::filesystem::path& currentDir);

// Collects the chunks of one hand-over until the ESC chunk; then yields the arguments.
class HandOverBuffer {
 public:
  enum class State { MoreToCome, Complete, Refused };
  struct Step {
    State state = State::MoreToCome;
    std::vector<std::string> arguments;  // Complete only
  };

  explicit HandOverBuffer(std::size_t limit = kHandOverLimit) : limit_(limit) {}

  // Adds one chunk. A hand-over that outgrows the limit is dropped; its ESC chunk then
  // reports Refused once.
  Step add(std::string_view chunk);
  // Forgets a half-received hand-over (its sender went away).
  void reset();
  bool collecting() const { return collecting_; }

 private:
  std::size_t limit_;
  std::string text_;
  bool collecting_ = false;
  bool overflowed_ = false;
};

// The running program's answers to instance messages, implemented by the main window.
class RunningInstanceHost {
 public:
  virtual ~RunningInstanceHost() = default;
  // Answer to the instance query: true only when several instances are allowed and no dialog
  // stands above the main window.
  virtual bool allowsAnotherInstance() = 0;
  // Every chunk: the tray icon goes away and the main window comes back to the front.
  virtual void handOverChunkArrived() = 0;
  // A complete hand-over: run the command line (never the start action).
  virtual void handOverArrived(const std::vector<std::string>& arguments) = 0;
  // A hand-over too long to take; nothing of it is run.
  virtual void handOverRefused() = 0;
  virtual void beginPaintLock() = 0;
  virtual void endPaintLock() = 0;
};

// Turns instance messages into calls on the host, with the numbers, parameters and results
// the messages have always had.
class RunningInstance : public InstanceRequestHandler {
 public:
  explicit RunningInstance(RunningInstanceHost& host, std::size_t limit = kHandOverLimit)
      : host_(host), buffer_(limit) {}
  std::int64_t handle(const InstanceMessage& message) override;
  // Drops a half-received hand-over and releases painting locks the peer left behind.
  void peerClosed() override;

 private:
  RunningInstanceHost& host_;
  HandOverBuffer buffer_;
  int peerPaintLocks_ = 0;  // levels of painting lock taken by the current peer
};

}  // namespace qv
