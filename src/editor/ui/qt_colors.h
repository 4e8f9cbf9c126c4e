// Stored colours (0x00BBGGRR, system colour indices) to and from Qt colours.
#pragma once
#include <QColor>
#include <QPalette>

#include "editor/color.h"

namespace qv {

inline QColor ToQColor(Color c, const QColor& fallback = QColor()) {
  if (c == kClNone) return fallback;
  if (IsSystemColor(c)) {
    const QPalette p;
    switch (c & 0xFF) {
      case 5: return p.color(QPalette::Base);
      case 8: return p.color(QPalette::Text);
      case 13: return p.color(QPalette::Highlight);
      case 14: return p.color(QPalette::HighlightedText);
      case 15: return p.color(QPalette::Button);
      case 16: return p.color(QPalette::Dark);
      case 18: return p.color(QPalette::ButtonText);
      default: return p.color(QPalette::WindowText);
    }
  }
  return QColor(int(c & 0xFF), int((c >> 8) & 0xFF), int((c >> 16) & 0xFF));
}

inline Color FromQColor(const QColor& c) { return Rgb(c.red(), c.green(), c.blue()); }

}  // namespace qv
