// Painting the column ruler.
#include "documents/ui/ruler.h"

#include <QEvent>
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

void TRuler::SetTextArea(QWidget* area) {
  if (textArea_ == area) return;
  if (textArea_) textArea_->removeEventFilter(this);
  textArea_ = area;
  if (textArea_) textArea_->installEventFilter(this);
  update();
}

int TRuler::ScaleRight() const {
  if (!textArea_ || textArea_->window() != window()) return width();
  const QPoint areaRight = textArea_->mapTo(window(), QPoint(textArea_->width(), 0));
  return std::clamp(areaRight.x() - mapTo(window(), QPoint(0, 0)).x(), 0, width());
}

bool TRuler::eventFilter(QObject* watched, QEvent* e) {
  // A scroll bar coming or going resizes the text area: the scale's end moves with it.
  if (watched == textArea_ && (e->type() == QEvent::Resize || e->type() == QEvent::Move)) update();
  return QWidget::eventFilter(watched, e);
}

int TRuler::HairLineX() const { return leftIndent_ + (caretColumn_ - 1 - leftOffset_) * charWidth_ + 1; }

void TRuler::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const QColor text = palette().color(QPalette::WindowText);
  p.fillRect(rect(), palette().color(QPalette::Window));
  const int right = ScaleRight();
  p.setClipRect(0, 0, right, height());
  QFont f = font();
  f.setPixelSize(std::max(7, height() / 2 - 2));
  p.setFont(f);
  const int bottom = height() - 1;
  const int numbersBottom = bottom - 8;  // numbers above, ticks and the caret block below
  // The hair line block, one character wide, in the tick band only: the numbers stay readable.
  const int hx = HairLineX();
  if (hx >= leftIndent_ && hx - 1 < right)
    p.fillRect(hx - 1, numbersBottom + 1, charWidth_, bottom - numbersBottom - 1, palette().color(QPalette::Highlight));
  p.setPen(text);
  p.drawLine(leftIndent_, bottom, right, bottom);
  // Ticks: long every 10 columns with the number, middle every 5, short every column.
  for (int col = leftOffset_ + 1;; ++col) {
    const int x = leftIndent_ + (col - 1 - leftOffset_) * charWidth_;
    if (x > right) break;
    if (col % 10 == 0) {
      p.drawLine(x, numbersBottom, x, bottom);
      p.drawText(QRect(x - 20, 0, 40, numbersBottom), Qt::AlignHCenter | Qt::AlignBottom, QString::number(col));
    } else if (col % 5 == 0) {
      p.drawLine(x, bottom - 5, x, bottom);
    } else if (charWidth_ >= 4) {
      p.drawLine(x, bottom - 2, x, bottom);
    }
  }
}

}  // namespace qv
