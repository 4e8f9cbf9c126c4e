// The editor view on the offscreen platform: typing, keys, mouse and the display character sets.
#include <QAccessible>
#include <QApplication>
#include <QMimeData>
#include <QtTest>

#include "editor/editor.h"
#include "editor/ui/editor_view.h"
#include "ui_test_env.h"

using namespace qv;

namespace {
// QTest::keyClicks handles Latin-1 only; a real keyboard sends any character as the event's text.
void TypeUnicode(QWidget* w, const QString& text) {
  QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, text);
  QApplication::sendEvent(w, &press);
}

void EnableDragDropEditing(Editor& editor) {
  EditorOptions o = editor.options();
  o.set(EditorOption::eoDragDropEditing, true);
  editor.setOptions(o);
}

QPoint CellCenter(const EditorView& view, BufferCoord c) { return view.pointOf(c) + QPoint(1, view.lineHeight() / 2); }

void DragTo(QWidget* w, QPoint to, Qt::KeyboardModifiers mods = Qt::NoModifier) {
  QMouseEvent move(QEvent::MouseMove, to, w->mapToGlobal(to), Qt::NoButton, Qt::LeftButton, mods);
  QApplication::sendEvent(w, &move);
}

// Drops the view's own selection at a point, as a drag that started in it would.
void DropOwnSelection(EditorView& view, QPoint at, Qt::KeyboardModifiers mods) {
  QMimeData mime;
  mime.setText(QString::fromStdString(view.editor().selText()));
  mime.setData(EditorView::internalDragFormat(), QByteArray::number(reinterpret_cast<quintptr>(&view)));
  QDragEnterEvent enter(at, Qt::MoveAction | Qt::CopyAction, &mime, Qt::LeftButton, mods);
  QApplication::sendEvent(view.viewport(), &enter);
  QDragMoveEvent move(at, Qt::MoveAction | Qt::CopyAction, &mime, Qt::LeftButton, mods);
  QApplication::sendEvent(view.viewport(), &move);
  QDropEvent drop(QPointF(at), Qt::MoveAction | Qt::CopyAction, &mime, Qt::LeftButton, mods);
  QApplication::sendEvent(view.viewport(), &drop);
}

}  // namespace

class TestEditorView : public QObject {
  Q_OBJECT
 private slots:
  void initTestCase() { qv::test::UsePrivateDirs(); }

  void typedTextAndKeysBecomeEditorCommands() {
    Editor editor;
    EditorView view(editor);
    view.resize(600, 300);
    view.show();
    QTest::keyClicks(&view, "int x;");
    QTest::keyClick(&view, Qt::Key_Return);
    QTest::keyClicks(&view, "y");
    QCOMPARE(QString::fromStdString(editor.text()), QString("int x;\r\ny"));
    QTest::keyClick(&view, Qt::Key_Z, Qt::ControlModifier);  // undo groups the typing
    QVERIFY(editor.text().size() < std::string("int x;\r\ny").size());
  }

  void utf8CaretNeverStopsInsideASequence() {
    Editor editor;
    editor.setText("a\xC3\xA9z");
    EditorView view(editor);
    view.chooseCharsetFromText();
    QCOMPARE(view.charset(), DisplayCharset::Utf8);
    editor.setCaretXY({2, 1});
    QTest::keyClick(&view, Qt::Key_Right);
    QCOMPARE(editor.caretXY().Char, 4);
    QTest::keyClick(&view, Qt::Key_Backspace);
    QCOMPARE(QByteArray::fromStdString(editor.text()), QByteArray("az"));
    TypeUnicode(&view, QString::fromUtf8("\xE2\x82\xAC"));  // the euro sign, typed as one character
    QCOMPARE(QByteArray::fromStdString(editor.text()), QByteArray("a\xE2\x82\xACz"));
  }

  void legacyTextShowsAsWindows1252AndRefusesWhatItCannotHold() {
    Editor editor;
    editor.setText("caf\xE9");
    EditorView view(editor);
    view.chooseCharsetFromText();
    QCOMPARE(view.charset(), DisplayCharset::Windows1252);
    QSignalSpy refused(&view, &EditorView::statusMessage);
    editor.setCaretXY({5, 1});
    TypeUnicode(&view, QString::fromUtf8("\xE4\xB8\xAD"));  // a CJK character: not in the set
    QCOMPARE(refused.count(), 1);
    TypeUnicode(&view, QString::fromUtf8("\xE2\x82\xAC"));  // the euro sign is 0x80 there
    QCOMPARE(QByteArray::fromStdString(editor.text()), QByteArray("caf\xE9\x80"));
  }

  void clickPlacesTheCaretAndDragSelects() {
    Editor editor;
    editor.setText("hello world\nsecond line");
    EditorView view(editor);
    view.resize(600, 300);
    view.show();
    const QPoint start = view.pointOf({7, 1}) + QPoint(1, view.lineHeight() / 2);
    const QPoint end = view.pointOf({7, 2}) + QPoint(1, view.lineHeight() / 2);
    QTest::mousePress(view.viewport(), Qt::LeftButton, Qt::NoModifier, start);
    QCOMPARE(editor.caretXY(), (BufferCoord{7, 1}));
    QMouseEvent move(QEvent::MouseMove, end, view.viewport()->mapToGlobal(end), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view.viewport(), &move);
    QTest::mouseRelease(view.viewport(), Qt::LeftButton, Qt::NoModifier, end);
    QCOMPARE(QString::fromStdString(editor.selText()), QString("world\r\nsecond"));
  }

  void gutterClickSelectsTheWholeLine() {
    Editor editor;
    editor.setText("one\ntwo\nthree");
    EditorView view(editor);
    view.resize(600, 300);
    view.show();
    const QPoint inGutter(5, view.lineHeight() + view.lineHeight() / 2);
    QTest::mouseClick(view.viewport(), Qt::LeftButton, Qt::NoModifier, inGutter);
    QCOMPARE(QString::fromStdString(editor.selText()), QString("two\r\n"));
    QCOMPARE(editor.caretXY(), (BufferCoord{1, 2}));
  }

  void altDragSelectsAColumnAndShiftKeysSelectNormally() {
    Editor editor;
    editor.setText("abcdef\nghijkl\nmnopqr");
    EditorView view(editor);
    view.resize(600, 300);
    view.show();
    QTest::mousePress(view.viewport(), Qt::LeftButton, Qt::AltModifier, CellCenter(view, {2, 1}));
    DragTo(view.viewport(), CellCenter(view, {4, 3}), Qt::AltModifier);
    QTest::mouseRelease(view.viewport(), Qt::LeftButton, Qt::AltModifier, CellCenter(view, {4, 3}));
    QCOMPARE(editor.selectionMode(), SelectionMode::Column);
    QCOMPARE(QString::fromStdString(editor.selText()), QString("bc\r\nhi\r\nno"));

    QTest::mouseClick(view.viewport(), Qt::LeftButton, Qt::NoModifier, CellCenter(view, {1, 2}));
    QCOMPARE(editor.selectionMode(), SelectionMode::Normal);
    QTest::keyClick(&view, Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClick(&view, Qt::Key_Down, Qt::ShiftModifier);
    QCOMPARE(QString::fromStdString(editor.selText()), QString("ghijkl\r\nm"));

    editor.setSelectionMode(SelectionMode::Line);
    editor.setSelection({3, 1}, {2, 2});
    QCOMPARE(QString::fromStdString(editor.selText()), QString("abcdef\r\nghijkl\r\n"));
    const QImage shot = view.viewport()->grab().toImage();
    // Line mode paints the whole first line selected, even the columns left of the anchor.
    const QPoint firstCell = CellCenter(view, {1, 1});
    QCOMPARE(shot.pixelColor(firstCell + QPoint(0, -view.lineHeight() / 2 + 1)), view.palette().color(QPalette::Highlight));
  }

  void wordWrapShowsContinuationRowsAndHomeEndWorkByRow() {
    Editor editor;
    editor.setText(std::string(100, 'x') + "\nshort");
    EditorView view(editor);
    view.resize(300, 300);
    view.show();
    view.setWordWrap(true);
    const int width = editor.charsInWindow();
    const auto rows = view.layoutRows(4);
    QCOMPARE(rows[0].line, 0);
    QCOMPARE(rows[1].line, 0);
    QVERIFY2(rows[1].startCol > 0, "the second row continues the wrapped line");
    QCOMPARE(rows[1].startCol, width);
    editor.setCaretXY({1, 1});
    QTest::keyClick(&view, Qt::Key_End);
    QCOMPARE(editor.caretXY().Line, 1);
    QVERIFY2(editor.caretXY().Char <= width + 1, "first End stops at the end of the row");
    QTest::keyClick(&view, Qt::Key_End);
    QCOMPARE(editor.caretXY(), (BufferCoord{101, 1}));
    QTest::keyClick(&view, Qt::Key_Home);
    QTest::keyClick(&view, Qt::Key_Home);
    QCOMPARE(editor.caretXY(), (BufferCoord{1, 1}));
  }

  void aWrappedLineTallerThanTheScreenScrollsByRowsToTheCaret() {
    Editor editor;
    editor.setText("first\n" + std::string(20000, 'w') + "\nlast");
    EditorView view(editor);
    view.resize(300, 200);
    view.show();
    view.setWordWrap(true);
    editor.setCaretXY({20001, 2});
    view.ensureCaretVisible();
    const QPoint caret = view.pointOf(editor.caretXY());
    QVERIFY2(caret.y() >= 0 && caret.y() + view.lineHeight() <= view.viewport()->height() + view.lineHeight(),
             qPrintable(QString("caret row at y %1").arg(caret.y())));
    QCOMPARE(view.coordAt(caret + QPoint(1, 1)).Line, 2);
    TypeUnicode(&view, "z");
    QCOMPARE(editor.line(2).back(), 'z');
    // Back to the top: the first line shows again from its start.
    QTest::keyClick(&view, Qt::Key_Home, Qt::ControlModifier);
    QCOMPARE(editor.topLine(), 1);
    QCOMPARE(view.layoutRows(1)[0].line, 0);
    QCOMPARE(view.pointOf({1, 1}).y(), 0);
  }

  void specialCharactersChangeWhatIsDrawn() {
    Editor editor;
    editor.setText("a b\tc\nd");
    EditorView view(editor);
    view.resize(300, 100);
    view.show();
    const QImage plain = view.viewport()->grab().toImage();
    EditorOptions o = editor.options();
    o.set(EditorOption::eoShowSpecialChars, true);
    editor.setOptions(o);
    const QImage special = view.viewport()->grab().toImage();
    // The blank's cell gets a middle dot.
    const QRect blank(view.pointOf({2, 1}), QSize(view.charWidth(), view.lineHeight()));
    QVERIFY2(plain.copy(blank) != special.copy(blank), "the blank is shown as a dot");
    const QRect letter(view.pointOf({1, 1}), QSize(view.charWidth(), view.lineHeight()));
    QCOMPARE(plain.copy(letter), special.copy(letter));
  }

  void oemViewAndCharsetSwitchEncodeTypedText() {
    Editor editor;
    editor.setText("x");
    EditorView view(editor);
    editor.setCaretXY({2, 1});
    view.setCharset(DisplayCharset::Oem437);
    TypeUnicode(&view, QString::fromUtf8("\xC3\xA9"));  // e acute is 0x82 in code page 437
    QCOMPARE(QByteArray::fromStdString(editor.text()), QByteArray("x\x82"));
    view.setCharset(DisplayCharset::Windows1252);
    TypeUnicode(&view, QString::fromUtf8("\xC3\xA9"));
    QCOMPARE(QByteArray::fromStdString(editor.text()), QByteArray("x\x82\xE9"));
    view.setCharset(DisplayCharset::Utf8);
    TypeUnicode(&view, QString::fromUtf8("\xC3\xA9"));
    QCOMPARE(QByteArray::fromStdString(editor.text()), QByteArray("x\x82\xE9\xC3\xA9"));
  }

  void caretFarIntoALongLineScrollsIntoView() {
    Editor editor;
    editor.setText(std::string(100000, 'a') + "\nb");
    EditorView view(editor);
    view.resize(400, 200);
    view.show();
    editor.setCaretXY({100001, 1});
    view.ensureCaretVisible();
    QVERIFY2(editor.leftChar() > 90000, qPrintable(QString("left column %1").arg(editor.leftChar())));
    const QPoint caret = view.pointOf(editor.caretXY());
    QVERIFY(caret.x() >= view.textLeft() && caret.x() < view.viewport()->width());
    QCOMPARE(view.coordAt(caret + QPoint(1, 1)), editor.caretXY());
    TypeUnicode(&view, "z");
    QCOMPARE(editor.line(1).back(), 'z');
  }

  void screenReaderReadsLinesAndFollowsTheCaret() {
    Editor editor;
    editor.setText("first\nsecond \xC3\xA9t\xC3\xA9\nthird");
    EditorView view(editor);
    view.chooseCharsetFromText();
    view.resize(400, 200);
    view.show();
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(&view);
    QVERIFY(iface);
    QAccessibleTextInterface* text = iface->textInterface();
    QVERIFY(text);
    QCOMPARE(text->characterCount(), 5 + 1 + 10 + 1 + 5);
    int start = 0, end = 0;
    QCOMPARE(text->textAtOffset(8, QAccessible::LineBoundary, &start, &end), QString::fromUtf8("second \xC3\xA9t\xC3\xA9\n"));
    QCOMPARE(start, 6);
    QCOMPARE(end, 17);
    QCOMPARE(text->text(0, 5), QString("first"));

    editor.setCaretXY({10, 2});  // after the first e acute: two bytes, one character
    QCOMPARE(text->cursorPosition(), 6 + 8);
    QCOMPARE(text->characterRect(14).topLeft(), view.viewport()->mapToGlobal(view.pointOf({10, 2})));
    QCOMPARE(text->offsetAtPoint(text->characterRect(14).center()), 14);

    text->setCursorPosition(17);
    QCOMPARE(editor.caretXY(), (BufferCoord{1, 3}));
    QAccessibleEditableTextInterface* edit = iface->editableTextInterface();
    QVERIFY(edit);
    edit->insertText(17, QString::fromUtf8("\xE2\x82\xAC"));
    QCOMPARE(QByteArray::fromStdString(std::string(editor.line(3))), QByteArray("\xE2\x82\xACthird"));
    edit->deleteText(0, 6);
    QCOMPARE(QString::fromStdString(std::string(editor.line(1))), QString::fromUtf8("second \xC3\xA9t\xC3\xA9"));
  }

  void draggingASelectionMovesItAndCtrlCopiesAsOneUndoStep() {
    Editor editor;
    editor.setText("one two three");
    EnableDragDropEditing(editor);
    EditorView view(editor);
    view.resize(600, 200);
    view.show();
    editor.setSelection({5, 1}, {9, 1});  // "two "
    DropOwnSelection(view, CellCenter(view, {14, 1}), Qt::NoModifier);
    QCOMPARE(QString::fromStdString(editor.text()), QString("one threetwo "));
    QCOMPARE(QString::fromStdString(editor.selText()), QString("two "));
    QTest::keyClick(&view, Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(QString::fromStdString(editor.text()), QString("one two three"));

    editor.setSelection({9, 1}, {14, 1});  // "three", moved to the front
    DropOwnSelection(view, CellCenter(view, {1, 1}), Qt::NoModifier);
    QCOMPARE(QString::fromStdString(editor.text()), QString("threeone two "));
    QCOMPARE(QString::fromStdString(editor.selText()), QString("three"));

    editor.setSelection({1, 1}, {6, 1});
    DropOwnSelection(view, CellCenter(view, {14, 1}), Qt::ControlModifier);
    QCOMPARE(QString::fromStdString(editor.text()), QString("threeone two three"));

    editor.setSelection({1, 1}, {6, 1});  // dropped onto itself: nothing changes
    DropOwnSelection(view, CellCenter(view, {3, 1}), Qt::NoModifier);
    QCOMPARE(QString::fromStdString(editor.text()), QString("threeone two three"));
  }

  void clickInsideASelectionWithoutDraggingPlacesTheCaret() {
    Editor editor;
    editor.setText("hello world");
    EnableDragDropEditing(editor);
    EditorView view(editor);
    view.resize(600, 200);
    view.show();
    editor.setSelection({1, 1}, {12, 1});
    QTest::mouseClick(view.viewport(), Qt::LeftButton, Qt::NoModifier, CellCenter(view, {4, 1}));
    QVERIFY(!editor.selAvail());
    QCOMPARE(editor.caretXY(), (BufferCoord{4, 1}));
  }

  void dragNearTheBottomEdgeScrollsALineAtATime() {
    Editor editor;
    std::string text;
    for (int i = 0; i < 200; ++i) text += "line " + std::to_string(i) + "\n";
    editor.setText(text);
    EnableDragDropEditing(editor);
    EditorView view(editor);
    view.resize(400, 200);
    view.show();
    QMimeData mime;
    mime.setText("x");
    const QPoint nearBottom(100, view.viewport()->height() - 5);
    QDragEnterEvent enter(nearBottom, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view.viewport(), &enter);
    QDragMoveEvent move(nearBottom, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view.viewport(), &move);
    QTRY_VERIFY(editor.topLine() > 2);
    QDragLeaveEvent leave;
    QApplication::sendEvent(view.viewport(), &leave);
    const int top = editor.topLine();
    QTest::qWait(300);
    QCOMPARE(editor.topLine(), top);
  }

  void wideGlyphsStayInTheirCellAndControlBytesShow() {
    Editor editor;
    editor.setText(std::string("\xE4\xB8\xAD  x\n\x01\0 y", 11));
    EditorView view(editor);
    view.setCharset(DisplayCharset::Utf8);
    view.resize(300, 100);
    view.show();
    const QImage shot = view.viewport()->grab().toImage();
    const QColor base = shot.pixelColor(view.pointOf({1, 4}) + QPoint(view.charWidth() * 10, 1));
    auto blank = [&](BufferCoord c) {
      const QRect cell(view.pointOf(c), QSize(view.charWidth(), view.lineHeight()));
      for (int y = cell.top(); y <= cell.bottom(); ++y)
        for (int x = cell.left(); x <= cell.right(); ++x)
          if (shot.pixelColor(x, y) != base) return false;
      return true;
    };
    QVERIFY2(!blank({1, 1}), "the CJK character is drawn");
    QVERIFY2(blank({4, 1}), "and does not spill into the blank after it");  // bytes 1-3 are one character
    QVERIFY2(!blank({1, 2}), "a control byte is drawn");
    QVERIFY2(!blank({2, 2}), "a zero byte is drawn");
    QVERIFY2(blank({3, 2}), "the blank after them stays blank");
  }

  void rendersWithoutCrashingOnZeroBytesAndTabs() {
    Editor editor;
    editor.setText(std::string("a\0b\tc", 5));
    EditorView view(editor);
    view.resize(400, 200);
    view.show();
    const QImage shot = view.viewport()->grab().toImage();
    QVERIFY(!shot.isNull());
  }
};

QTEST_MAIN(TestEditorView)
#include "test_editor_view.moc"
