// What the editor needs of a clipboard: text plus the selection mode it was copied in.
#pragma once
#include <optional>
#include <string>

namespace qv {

enum class SelectionMode { Normal, Column, Line };

struct ClipboardContent {
  std::string text;
  // The block-type marker: set when the text was put there by an editor, with its mode.
  std::optional<SelectionMode> mode;
};

class EditorClipboard {
 public:
  virtual ~EditorClipboard() = default;
  virtual std::optional<ClipboardContent> get() const = 0;  // nullopt when it holds no text
  virtual void set(const ClipboardContent& content) = 0;
};

// A clipboard kept in memory (tests, and a program without a desktop clipboard).
class MemoryClipboard : public EditorClipboard {
 public:
  std::optional<ClipboardContent> get() const override { return content_; }
  void set(const ClipboardContent& content) override { content_ = content; }
  void clear() { content_.reset(); }

 private:
  std::optional<ClipboardContent> content_;
};

}  // namespace qv
