// The column ruler above a document's text: a scale in character cells and a hair line at the
// caret's column, following scrolling, fonts and wrapping.
#pragma once
#include <QPointer>
#include <QWidget>

namespace qv {

class TRuler : public QWidget {
  Q_OBJECT
 public:
  explicit TRuler(QWidget* parent = nullptr);

  void SetCharWidth(int pixels);
  void SetLeftOffset(int columns);  // first visible column - 1
  void SetCaretColumn(int column);  // 1-based display column of the caret
  void SetLeftIndent(int pixels);   // x of the first visible column
  // The text area the scale belongs to: the ruler stops at its right side, so nothing is drawn
  // above the scroll bar beside it. Without one the scale runs to the ruler's own end.
  void SetTextArea(QWidget* area);
  int ScaleRight() const;  // x where the scale ends
  int CharWidth() const { return charWidth_; }
  int LeftOffset() const { return leftOffset_; }
  int CaretColumn() const { return caretColumn_; }
  int LeftIndent() const { return leftIndent_; }
  // x of the hair line: on the caret's cell, one pixel in from its left side.
  int HairLineX() const;

  QSize sizeHint() const override { return {200, kHeight}; }
  static constexpr int kHeight = 23;

 protected:
  void paintEvent(QPaintEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;

 private:
  int charWidth_ = 8;
  int leftOffset_ = 0;
  int caretColumn_ = 1;
  int leftIndent_ = 0;
  QPointer<QWidget> textArea_;
};

}  // namespace qv
