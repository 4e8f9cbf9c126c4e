// The editor view on the offscreen platform: typing, keys, mouse and the display character sets.
#include <QApplication>
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
