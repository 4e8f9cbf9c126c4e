// Painting the column ruler.
#include "documents/ui/ruler.h"

#include <QPainter>

#include <algorithm>

namespace qv {

TRuler::TRuler(QWidget* parent) : QWidget(parent) {
  setObjectName("Ruler");
  setFixedHeight(kHeight);
  setAutoFillBackground(true);
}

void TRuler::SetCharWidth(int pixels) {
  charWidth_ = std::max(1, pixels);
  update();
}

void TRuler::SetLeftOffset(int columns) {
  leftOffset_ = std::max(0, columns);
  update();
}

void TRuler::SetCaretColumn(int column) {
  caretColumn_ = std::max(1, column);
  update();
}

void TRuler::SetLeftIndent(int pixels) {
  leftIndent_ = pixels;
  update();
}

int TRuler::HairLineX() const { return leftIndent_ + (caretColumn_ - 1 - leftOffset_) * charWidth_ + 1; }

void TRuler::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const QColor text = palette().color(QPalette::WindowText);
  p.fillRect(rect(), palette().color(QPalette::Window));
  // The hair line block, one character wide.
  const int hx = HairLineX();
  if (hx >= leftIndent_) p.fillRect(hx - 1, 1, charWidth_, height() - 2, palette().color(QPalette::Mid));
  p.setPen(text);
  QFont f = font();
  f.setPixelSize(std::max(7, height() / 2 - 2));
  p.setFont(f);
  const int bottom = height() - 1;
  p.drawLine(leftIndent_, bottom, width(), bottom);
  // Ticks: long every 10 columns with the number, middle every 5, short every column.
  for (int col = leftOffset_ + 1;; ++col) {
    const int x = leftIndent_ + (col - 1 - leftOffset_) * charWidth_;
    if (x > width()) break;
    if (col % 10 == 0) {
      p.drawLine(x, bottom - 8, x, bottom);
      p.drawText(QRect(x - 20, 0, 40, bottom - 8), Qt::AlignHCenter | Qt::AlignBottom, QString::number(col));
    } else if (col % 5 == 0) {
      p.drawLine(x, bottom - 5, x, bottom);
    } else if (charWidth_ >= 4) {
      p.drawLine(x, bottom - 2, x, bottom);
    }
  }
}

}  // namespace qv
