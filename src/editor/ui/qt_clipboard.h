// The desktop clipboard for the editor: text converted from and to the document's display
// character set, and a private format that remembers a column or line block.
#pragma once
#include "editor/clipboard.h"
#include "editor/display_charset.h"

namespace qv {

class QtClipboard : public EditorClipboard {
 public:
  explicit QtClipboard(DisplayCharset charset = DisplayCharset::Utf8) : charset_(charset) {}
  void setCharset(DisplayCharset cs) { charset_ = cs; }
  // Text whose characters the document's set cannot hold is refused (nullopt).
  std::optional<ClipboardContent> get() const override;
  void set(const ClipboardContent& content) override;
  // True when the last get() refused text it could not encode.
  bool lastRefused() const { return refused_; }

 private:
  DisplayCharset charset_;
  mutable bool refused_ = false;
};

}  // namespace qv
