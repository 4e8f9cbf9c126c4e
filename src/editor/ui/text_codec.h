// Bytes in a display character set to QString and back (for the clipboard, input and captions).
#pragma once
#include <QString>

#include <optional>
#include <string>
#include <string_view>

#include "editor/display_charset.h"

namespace qv {

inline QString DecodeBytes(std::string_view bytes, DisplayCharset cs) {
  QString out;
  out.reserve(static_cast<qsizetype>(bytes.size()));
  int i = 0;
  const int n = static_cast<int>(bytes.size());
  while (i < n) {
    const DecodedChar d = DecodeAt(bytes, i, cs);
    const char32_t cp = d.cp;
    out.append(QString::fromUcs4(&cp, 1));
    i += d.length;
  }
  return out;
}

inline std::optional<std::string> EncodeQString(const QString& text, DisplayCharset cs) {
  const QList<uint> ucs4 = text.toUcs4();
  std::u32string cps(ucs4.begin(), ucs4.end());
  return EncodeText(cps, cs);
}

}  // namespace qv
