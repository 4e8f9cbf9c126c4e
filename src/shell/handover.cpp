// Hand-over text, chunking, reassembly and the running program's message handler.
#include "shell/handover.h"

#include <algorithm>

#include "shell/command_line.h"

namespace qv {
namespace fs = std::filesystem;

std::optional<std::string> HandOverText(const std::vector<std::string>& args, const fs::path& currentDir) {
  if (args.empty()) return std::nullopt;
  std::string text;
  for (const std::string& raw : args) {
    std::string arg = TrimBlanks(raw);
    if (!arg.empty() && arg != "." && arg != ".." && arg[0] != '/')
      arg = (currentDir / arg).lexically_normal().string();
    text += kHandOverSeparator;
    text += arg;
  }
  text.erase(0, 1);
  text += kHandOverEnd;
  return text;
}

std::vector<std::string> HandOverChunks(std::string_view text) {
  std::vector<std::string> chunks;
  for (std::size_t at = 0; at < text.size(); at += kHandOverChunkSize)
    chunks.emplace_back(text.substr(at, kHandOverChunkSize));
  return chunks;
}

bool SendHandOver(InstanceClient& client, const std::vector<std::string>& args, const fs::path& currentDir) {
  const std::optional<std::string> text = HandOverText(args, currentDir);
  if (!text) return true;
  for (const std::string& chunk : HandOverChunks(*text)) {
    InstanceMessage message{kMsgHandOverChunk, 0, static_cast<std::int64_t>(chunk.size()), chunk};
    if (!client.send(message)) return false;
  }
  return true;
}

HandOverBuffer::Step HandOverBuffer::add(std::string_view chunk) {
  if (!collecting_) {
    collecting_ = true;
    overflowed_ = false;
    text_.clear();
    text_.reserve(kHandOverInitialBuffer);
  }
  if (!overflowed_ && text_.size() + chunk.size() > limit_) {
    overflowed_ = true;
    text_.clear();
    text_.shrink_to_fit();
  }
  Step step;
  const bool ends = !chunk.empty() && chunk.back() == kHandOverEnd;
  if (overflowed_) {
    if (ends) {
      reset();
      step.state = State::Refused;
    }
    return step;
  }
  text_ += chunk;
  if (text_.empty() || text_.back() != kHandOverEnd) return step;

  text_.pop_back();
  std::string text = TrimBlanks(text_);
  text += kHandOverSeparator;
  std::size_t start = 0;
  for (std::size_t tab = text.find(kHandOverSeparator); tab != std::string::npos;
       tab = text.find(kHandOverSeparator, start)) {
    step.arguments.push_back(text.substr(start, tab - start));
    start = tab + 1;
  }
  step.state = State::Complete;
  reset();
  return step;
}

void HandOverBuffer::reset() {
  collecting_ = false;
  overflowed_ = false;
  text_.clear();
  text_.shrink_to_fit();
}

std::int64_t RunningInstance::handle(const InstanceMessage& message) {
  switch (message.number) {
    case kMsgInstanceQuery:
      return host_.allowsAnotherInstance() ? 1 : 0;
    case kMsgHandOverChunk: {
      host_.handOverChunkArrived();
      const std::size_t length =
          message.lParam <= 0 ? 0 : std::min<std::size_t>(static_cast<std::size_t>(message.lParam), message.payload.size());
      HandOverBuffer::Step step = buffer_.add(std::string_view(message.payload).substr(0, length));
      if (step.state == HandOverBuffer::State::Complete) host_.handOverArrived(step.arguments);
      if (step.state == HandOverBuffer::State::Refused) host_.handOverRefused();
      return 0;
    }
    case kMsgPaintLock:
      // A peer releases only the levels it took, so it cannot unbalance the program's own.
      if (message.lParam == 1) {
        host_.beginPaintLock();
        ++peerPaintLocks_;
      } else if (peerPaintLocks_ > 0) {
        host_.endPaintLock();
        --peerPaintLocks_;
      }
      return 0;
    default:
      return 0;
  }
}

void RunningInstance::peerClosed() {
  buffer_.reset();
  for (; peerPaintLocks_ > 0; --peerPaintLocks_) host_.endPaintLock();
}

}  // namespace qv
