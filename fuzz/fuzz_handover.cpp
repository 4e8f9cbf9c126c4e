// Fuzzes the running program's side of the hand-over: messages of any length, number and order.
// fuzz-link: qv_shell qv_platform
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "shell/handover.h"

namespace {

struct CountingHost : qv::RunningInstanceHost {
  int paintLevel = 0;
  size_t limit = 0;
  bool allowsAnotherInstance() override { return false; }
  void handOverChunkArrived() override {}
  void handOverArrived(const std::vector<std::string>& args) override {
    size_t total = 0;
    for (const std::string& a : args) total += a.size() + 1;
    if (total > limit + 1) std::abort();  // nothing arrives that was more than the buffer held
  }
  void handOverRefused() override {}
  void beginPaintLock() override { ++paintLevel; }
  void endPaintLock() override {
    if (--paintLevel < 0) std::abort();  // a peer never releases more than it took
  }
};

}  // namespace

// Input: a run of messages, each a kind byte, a length byte and that many payload bytes.
// Kinds: 0 chunk, 1 query, 2 paint lock, 3 paint unlock, 4 peer gone. Then, as a second check,
// the whole input read as arguments (one a line) must survive the trip through chunks.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
  CountingHost host;
  host.limit = 1000;
  {
    qv::RunningInstance running(host, host.limit);
    size_t at = 0;
    while (at + 2 <= size) {
      const std::uint8_t kind = data[at] % 5;
      const size_t length = std::min<size_t>(data[at + 1], size - at - 2);
      const std::string payload(reinterpret_cast<const char*>(data) + at + 2, length);
      at += 2 + length;
      switch (kind) {
        case 0: running.handle({qv::kMsgHandOverChunk, 0, static_cast<std::int64_t>(data[at - 1 - length]), payload}); break;
        case 1: running.handle({qv::kMsgInstanceQuery, 0, 0, {}}); break;
        case 2: running.handle({qv::kMsgPaintLock, 0, 1, {}}); break;
        case 3: running.handle({qv::kMsgPaintLock, 0, 0, {}}); break;
        default: running.peerClosed(); break;
      }
    }
    running.peerClosed();
    if (host.paintLevel != 0) std::abort();
  }

  // Round trip: absolute names without TABs or blanks at their ends come back as they went.
  std::vector<std::string> args;
  std::string current = "/";
  for (size_t i = 0; i <= size; ++i) {
    const char c = i < size ? static_cast<char>(data[i]) : '\n';
    if (c == '\n') {
      args.push_back(current);
      current = "/";
    } else if (static_cast<unsigned char>(c) > ' ') {
      current += c;
    }
  }
  const auto text = qv::HandOverText(args, "/");
  if (!text) std::abort();
  qv::HandOverBuffer buffer;
  qv::HandOverBuffer::Step step;
  for (const std::string& chunk : qv::HandOverChunks(*text)) {
    if (chunk.empty() || chunk.size() > qv::kHandOverChunkSize) std::abort();
    step = buffer.add(chunk);
  }
  if (step.state != qv::HandOverBuffer::State::Complete || step.arguments != args) std::abort();
  return 0;
}
