// Clipboard text in the document's character set, with the block-mode marker.
#include "editor/ui/qt_clipboard.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>

#include "editor/ui/text_codec.h"

namespace qv {
namespace {
constexpr const char* kBlockMime = "application/x-quirvane-block-mode";
}

std::optional<ClipboardContent> QtClipboard::get() const {
  refused_ = false;
  const QMimeData* data = QApplication::clipboard()->mimeData();
  if (!data || !data->hasText()) return std::nullopt;
  auto bytes = EncodeQString(data->text(), charset_);
  if (!bytes) {
    refused_ = true;
    return std::nullopt;
  }
  ClipboardContent content{*bytes, std::nullopt};
  if (data->hasFormat(kBlockMime)) {
    const QByteArray mode = data->data(kBlockMime);
    if (mode == "column") content.mode = SelectionMode::Column;
    else if (mode == "line") content.mode = SelectionMode::Line;
    else content.mode = SelectionMode::Normal;
  }
  return content;
}

void QtClipboard::set(const ClipboardContent& content) {
  auto* data = new QMimeData;
  data->setText(DecodeBytes(content.text, charset_));
  if (content.mode) {
    const char* mode = *content.mode == SelectionMode::Column ? "column"
                       : *content.mode == SelectionMode::Line ? "line"
                                                              : "normal";
    data->setData(kBlockMime, mode);
  }
  QApplication::clipboard()->setMimeData(data);
}

}  // namespace qv
