// Hand-over text, chunks and their reassembly in the running program.
#include "shell/handover.h"

#include <gtest/gtest.h>

namespace qv {
namespace {
using Args = std::vector<std::string>;

TEST(HandOver, TextMakesRelativeNamesFullAndKeepsTheRest) {
  const auto text = HandOverText({" a.txt ", ".", "..", "", "/G3", "sub/../b.txt", "/abs/x", "*.c"}, "/work/dir");
  ASSERT_TRUE(text);
  EXPECT_EQ(*text, "/work/dir/a.txt\t.\t..\t\t/G3\t/work/dir/b.txt\t/abs/x\t/work/dir/*.c\x1b");
  EXPECT_FALSE(HandOverText({}, "/w")) << "no arguments: nothing is sent";
  EXPECT_EQ(HandOverText({"", ""}, "/w"), "\t\x1b");
}

TEST(HandOver, FourHundredFiftyCharactersGoAsThreeChunksAndActOnceAtTheEnd) {
  const std::string name = "/d/" + std::string(447, 'n');  // 450 characters of arguments
  const std::string text = *HandOverText({name}, "/w");
  const auto chunks = HandOverChunks(text);
  ASSERT_EQ(chunks.size(), 3u);
  EXPECT_EQ(chunks[0].size(), 200u);
  EXPECT_EQ(chunks[1].size(), 200u);
  EXPECT_EQ(chunks[2].size(), 51u);
  EXPECT_EQ(chunks[2].back(), '\x1b');

  HandOverBuffer buffer;
  EXPECT_EQ(buffer.add(chunks[0]).state, HandOverBuffer::State::MoreToCome);
  EXPECT_EQ(buffer.add(chunks[1]).state, HandOverBuffer::State::MoreToCome);
  EXPECT_TRUE(buffer.collecting());
  const auto last = buffer.add(chunks[2]);
  EXPECT_EQ(last.state, HandOverBuffer::State::Complete);
  EXPECT_EQ(last.arguments, Args{name});
  EXPECT_FALSE(buffer.collecting());
}

TEST(HandOver, ReassemblyTrimsTheTextAndKeepsInnerEmptyArguments) {
  struct Case {
    std::string text;
    Args arguments;
  };
  const Case cases[] = {
      {"a\t\tb\x1b", {"a", "", "b"}},
      {"\ta\tb\t\t\x1b", {"a", "b"}},
      {"\x1b", {""}},
      {"one\x1b", {"one"}},
      {"x\x1by\x1b", {"x\x1by"}},
  };
  for (const Case& c : cases) {
    HandOverBuffer buffer;
    HandOverBuffer::Step step;
    for (const std::string& chunk : HandOverChunks(c.text)) step = buffer.add(chunk);
    EXPECT_EQ(step.state, HandOverBuffer::State::Complete);
    EXPECT_EQ(step.arguments, c.arguments);
  }
}

TEST(HandOver, TwentyThousandCharactersOutgrowTheFirstBuffer) {
  Args args;
  for (int i = 0; args.size() < 400; ++i) args.push_back("/folder/" + std::string(41, 'a' + i % 26) + std::to_string(i));
  const std::string text = *HandOverText(args, "/w");
  ASSERT_GT(text.size(), 20000u);
  HandOverBuffer buffer;
  HandOverBuffer::Step step;
  for (const std::string& chunk : HandOverChunks(text)) step = buffer.add(chunk);
  EXPECT_EQ(step.state, HandOverBuffer::State::Complete);
  EXPECT_EQ(step.arguments, args);
}

TEST(HandOver, TooLongIsRefusedWholeAndTheNextOneStillArrives) {
  HandOverBuffer buffer(1000);
  const std::string tooLong = *HandOverText({std::string(1200, 'x')}, "/");
  HandOverBuffer::Step step;
  int refused = 0;
  for (const std::string& chunk : HandOverChunks(tooLong)) {
    step = buffer.add(chunk);
    refused += step.state == HandOverBuffer::State::Refused;
    EXPECT_NE(step.state, HandOverBuffer::State::Complete);
  }
  EXPECT_EQ(refused, 1);
  for (const std::string& chunk : HandOverChunks(*HandOverText({"/ok.txt"}, "/"))) step = buffer.add(chunk);
  EXPECT_EQ(step.state, HandOverBuffer::State::Complete);
  EXPECT_EQ(step.arguments, Args{"/ok.txt"});
}

struct RecordingInstanceHost : RunningInstanceHost {
  bool several = false;
  int chunks = 0, refused = 0, paintLevel = 0;
  std::vector<Args> arrived;
  bool allowsAnotherInstance() override { return several; }
  void handOverChunkArrived() override { ++chunks; }
  void handOverArrived(const Args& args) override { arrived.push_back(args); }
  void handOverRefused() override { ++refused; }
  void beginPaintLock() override { ++paintLevel; }
  void endPaintLock() override { --paintLevel; }
};

TEST(HandOver, RunningInstanceAnswersWithTheMessagesNumbersAndResults) {
  RecordingInstanceHost host;
  RunningInstance running(host);
  EXPECT_EQ(running.handle({kMsgInstanceQuery, 0, 0, {}}), 0);
  host.several = true;
  EXPECT_EQ(running.handle({kMsgInstanceQuery, 0, 0, {}}), 1);

  // The chunk is lParam characters of the payload.
  EXPECT_EQ(running.handle({kMsgHandOverChunk, 0, 3, "a.txyz"}), 0);
  running.handle({kMsgHandOverChunk, 0, 1, "\x1b"});
  EXPECT_EQ(host.chunks, 2);
  EXPECT_EQ(host.arrived, (std::vector<Args>{{"a.t"}}));

  // A sender that goes away half-way leaves nothing behind for the next one.
  running.handle({kMsgHandOverChunk, 0, 4, "half"});
  running.peerClosed();
  running.handle({kMsgHandOverChunk, 0, 6, "b.txt\x1b"});
  EXPECT_EQ(host.arrived.back(), Args{"b.txt"});

  // Painting lock: 1 locks, anything else releases one level the peer took.
  running.handle({kMsgPaintLock, 0, 1, {}});
  running.handle({kMsgPaintLock, 0, 1, {}});
  running.handle({kMsgPaintLock, 0, 0, {}});
  EXPECT_EQ(host.paintLevel, 1);
  running.handle({kMsgPaintLock, 0, 7, {}});
  running.handle({kMsgPaintLock, 0, 7, {}});
  EXPECT_EQ(host.paintLevel, 0) << "a peer cannot release more than it took";
  running.handle({kMsgPaintLock, 0, 1, {}});
  running.peerClosed();
  EXPECT_EQ(host.paintLevel, 0) << "levels left by a peer are released when it goes";
  EXPECT_EQ(running.handle({9999, 1, 1, "x"}), 0);
}

}  // namespace
}  // namespace qv
