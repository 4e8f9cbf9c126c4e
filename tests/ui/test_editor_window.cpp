// The document window on the offscreen platform: status texts, caption, close question, gutter
// selection, the keys it handles before the editor, and dragging the right margin.
#include <QApplication>
#include <QLabel>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QtTest>

#include <fstream>

#include "config/editor_cfg.h"
#include "documents/ui/editor_window.h"
#include "documents/ui/ruler.h"
#include "editor/ui/editor_view.h"
#include "highlight/languages/builtin_highlighters.h"
#include "platform/scripted_prompter.h"
#include "ui_test_env.h"

using namespace qv;

namespace {

QString WriteFile(const QTemporaryDir& dir, const char* name, const std::string& bytes) {
  const QString path = dir.filePath(name);
  std::ofstream(path.toStdString(), std::ios::binary) << bytes;
  return path;
}

std::string Text(TfmEditor& w) { return w.editor().lines().text("\n"); }

}  // namespace

class TestEditorWindow : public QObject {
  Q_OBJECT
 private slots:
  void initTestCase() { qv::test::UsePrivateDirs(); }

  void statusPanelsShowCaretSelectionAndState() {
    QTemporaryDir dir;
    DocumentServices services;
    TfmEditor w(services);
    w.resize(900, 400);
    w.show();
    QVERIFY(w.document().LoadFromFile(WriteFile(dir, "a.txt", "hello\nworld\nthree\nfour\nfive\n").toStdString(), false));
    QTest::keyClick(&w.view(), Qt::Key_Down);
    QTest::keyClick(&w.view(), Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClick(&w.view(), Qt::Key_Right, Qt::ShiftModifier);
    const QStringList texts = w.StatusTexts();
    QCOMPARE(texts.size(), 8);
    QCOMPARE(texts[0], QString("Ln 2, Col 3"));
    QCOMPARE(texts[1], QString("Insert"));
    QCOMPARE(texts[2], QString("Sel: Normal"));
    QCOMPARE(texts[7], QString("2 chars selected."));
    // The own status bar shows the same texts in eight panels of the given widths.
    auto labels = w.findChild<QStatusBar*>("StatusBar")->findChildren<QLabel*>();
    QCOMPARE(labels.size(), 8);
    const int widths[] = {100, 80, 100, 90, 90, 65, 150, 50};
    for (int i = 0; i < 8; ++i) {
      if (i < 7) QCOMPARE(labels[i]->width(), widths[i]);
      else QVERIFY2(labels[i]->width() >= widths[i], "the selection panel takes the room left");
      QCOMPARE(labels[i]->text(), texts[i]);
    }
    QVERIFY2(labels[7]->width() >= labels[7]->fontMetrics().horizontalAdvance(texts[7]),
             "the selection text is not cut off");
    QTest::keyClick(&w.view(), Qt::Key_Insert);
    QCOMPARE(w.StatusTexts()[1], QString("Overwrite"));
    w.setStatusBarVisible(false);
    QVERIFY(!w.findChild<QStatusBar*>("StatusBar")->isVisible());
  }

  void captionCarriesModifiedAndLockedMarks() {
    QTemporaryDir dir;
    DocumentServices services;
    TfmEditor w(services);
    const QString file = WriteFile(dir, "c&d.txt", "x\n");
    QVERIFY(w.document().LoadFromFile(file.toStdString(), false));
    QSignalSpy captions(&w, &TfmEditor::captionChanged);
    QCOMPARE(w.Caption(), file);
    QTest::keyClicks(&w.view(), "y");
    QCOMPARE(w.Caption(), file + " *");
    QCOMPARE(w.TabText(), QString("c&&d.txt *"));
    QCOMPARE(w.StatusTexts()[4], QString("Modified"));
    w.document().SetLocked(true);
    QCOMPARE(w.Caption(), file + " *#");
    QTest::keyClicks(&w.view(), "z");  // locked: the text stays
    QCOMPARE(Text(w), std::string("yx\n"));
    QVERIFY(captions.count() >= 2);
  }

  void closeQuestionKeepsOrClosesTheWindow() {
    QTemporaryDir dir;
    ScriptedPrompter prompter;
    DocumentServices services;
    services.prompter = &prompter;
    TfmEditor w(services);
    const QString file = WriteFile(dir, "q.txt", "text\n");
    QVERIFY(w.document().LoadFromFile(file.toStdString(), false));
    w.show();
    QTest::keyClicks(&w.view(), "more ");
    QSignalSpy closed(&w, &TfmEditor::closed);

    prompter.answerMessage(MsgResult::Cancel, "is modified");
    QVERIFY(!w.close());
    QCOMPARE(closed.count(), 0);

    prompter.answerMessage(MsgResult::Yes, "is modified");
    QVERIFY(w.close());
    QCOMPARE(closed.count(), 1);
    std::ifstream in(file.toStdString(), std::ios::binary);
    const std::string saved((std::istreambuf_iterator<char>(in)), {});
    QCOMPARE(saved, std::string("more text\n"));
    QVERIFY(prompter.failures().empty());
  }

  void gutterClickSelectsTheLineThroughTheDocument() {
    DocumentServices services;
    TfmEditor w(services);
    w.resize(600, 300);
    w.show();
    w.editor().setText("one\ntwo\nthree");
    EditorView& v = w.view();
    const QPoint line2(3, v.lineHeight() + v.lineHeight() / 2);
    QTest::mouseClick(v.viewport(), Qt::LeftButton, Qt::NoModifier, line2);
    QCOMPARE(QString::fromStdString(w.editor().selText()), QString("two\r\n"));
    QCOMPARE(w.editor().caretXY(), (BufferCoord{1, 2}));
    const QPoint line3(3, 2 * v.lineHeight() + v.lineHeight() / 2);
    QTest::mouseClick(v.viewport(), Qt::LeftButton, Qt::NoModifier, line3);
    QCOMPARE(QString::fromStdString(w.editor().selText()), QString("three"));
  }

  void keysHandledBeforeTheEditor() {
    DocumentServices services;
    TfmEditor w(services);
    w.show();
    w.editor().setText("ab  \nnext");
    w.editor().setCaretXY({3, 1});
    QTest::keyClick(&w.view(), Qt::Key_End);  // trims the blanks, then goes to the end
    QCOMPARE(Text(w), std::string("ab\nnext"));
    QCOMPARE(w.editor().caretXY(), (BufferCoord{3, 1}));
    QTest::keyClick(&w.view(), Qt::Key_Backspace, Qt::ShiftModifier);
    QCOMPARE(Text(w), std::string("a\nnext"));
    QTest::keyClick(&w.view(), Qt::Key_Return, Qt::ShiftModifier);
    QCOMPARE(Text(w), std::string("a\n\nnext"));
    // Leaving a line with trailing blanks trims it.
    QTest::keyClicks(&w.view(), "x  ");
    QTest::keyClick(&w.view(), Qt::Key_Down);
    QCOMPARE(Text(w), std::string("a\nx\nnext"));
  }

  void draggingTheRightMarginSetsTheEdge() {
    DocumentServices services;
    services.settings.showRightMargin = true;
    TfmEditor w(services);
    w.resize(900, 300);
    w.show();
    TEditorCfg cfg;
    cfg.RightEdge = 20;
    w.ApplyEditorConfig(cfg);
    EditorView& v = w.view();
    QCOMPARE(v.rightEdge(), 20);
    w.editor().setText("some text");
    w.editor().setCaretXY({3, 1});
    QSignalSpy dragged(&w, &TfmEditor::rightEdgeDragged);
    const int edgeX = v.textLeft() + 20 * v.charWidth();
    const int y = v.lineHeight() / 2;
    QTest::mousePress(v.viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(edgeX + 1, y));
    QMouseEvent move(QEvent::MouseMove, QPointF(v.textLeft() + 30 * v.charWidth(), y),
                     v.viewport()->mapToGlobal(QPointF(v.textLeft() + 30 * v.charWidth(), y)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(v.viewport(), &move);
    QTest::mouseRelease(v.viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(v.textLeft() + 30 * v.charWidth(), y));
    QCOMPARE(dragged.count(), 1);
    QCOMPARE(dragged.first().first().toInt(), 30);
    QCOMPARE(v.rightEdge(), 30);
    QCOMPARE(w.editor().caretXY(), (BufferCoord{3, 1}));  // the caret is back where it was
    // Too close to the start: the edge stays.
    QTest::mousePress(v.viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(v.textLeft() + 30 * v.charWidth(), y));
    QMouseEvent near(QEvent::MouseMove, QPointF(v.textLeft() + 2 * v.charWidth(), y),
                     v.viewport()->mapToGlobal(QPointF(v.textLeft() + 2 * v.charWidth(), y)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(v.viewport(), &near);
    QTest::mouseRelease(v.viewport(), Qt::LeftButton);
    QCOMPARE(v.rightEdge(), 30);
  }

  void rulerFollowsTheCaret() {
    DocumentServices services;
    TfmEditor w(services);
    w.resize(900, 300);
    w.show();
    QVERIFY(w.ruler() != nullptr);
    w.editor().setText("0123456789");
    w.SetCaret(7, 0);
    QCOMPARE(w.ruler()->CaretColumn(), 8);
    QCOMPARE(w.ruler()->CharWidth(), w.view().charWidth());
    w.SetRulerVsbl(false);
    QVERIFY(w.ruler() == nullptr);
  }

  void rulerStopsAtTheTextAreaAndKeepsNumbersReadable() {
    DocumentServices services;
    TfmEditor w(services);
    w.resize(600, 300);
    w.show();
    std::string text;
    for (int i = 0; i < 200; ++i) text += "line of text\n";
    w.editor().setText(text);  // enough lines for a vertical scroll bar
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QApplication::processEvents();
    TRuler* ruler = w.ruler();
    QVERIFY(ruler != nullptr);
    QWidget* area = w.view().viewport();
    const int areaRight = area->mapTo(&w, QPoint(area->width(), 0)).x() - ruler->mapTo(&w, QPoint(0, 0)).x();
    QVERIFY2(areaRight < ruler->width() - 5, "a vertical scroll bar takes the right side");
    QCOMPARE(ruler->ScaleRight(), areaRight);

    // The caret on column 10: its block sits under the number 10, which stays readable.
    w.SetCaret(9, 0);
    QCOMPARE(ruler->CaretColumn(), 10);
    const QImage shot = ruler->grab().toImage();
    const QColor background = ruler->palette().color(QPalette::Window);
    const QColor ink = ruler->palette().color(QPalette::WindowText);
    auto inkIn = [&](QRect r) {
      int n = 0;
      for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
          if (std::abs(shot.pixelColor(x, y).lightness() - ink.lightness()) <
              std::abs(shot.pixelColor(x, y).lightness() - background.lightness()))
            ++n;
      return n;
    };
    const int x10 = ruler->LeftIndent() + 9 * ruler->CharWidth();
    const int numbersBottom = ruler->height() - 9;
    QVERIFY2(inkIn(QRect(x10 - 10, 0, 20, numbersBottom)) > 5, "the number 10 is drawn in the text colour");
    const QColor block = shot.pixelColor(ruler->HairLineX() + ruler->CharWidth() / 2, ruler->height() - 5);
    QCOMPARE(block, ruler->palette().color(QPalette::Highlight));
    for (int y = 0; y < numbersBottom; ++y)
      for (int x = x10 - 10; x < x10 + 10; ++x)
        QVERIFY2(shot.pixelColor(x, y) != block, "the caret block stays out of the numbers' band");
    // Nothing above the scroll bar.
    for (int y = 0; y < shot.height(); ++y)
      for (int x = areaRight + 1; x < shot.width(); ++x)
        QVERIFY2(shot.pixelColor(x, y) == background, "the scale ends where the text area ends");
  }

  void screenshotOfCppFile() {
    auto hl = MakeBuiltinHighlighter("hlCpp");
    QVERIFY(hl != nullptr);
    DocumentServices services;
    TfmEditor w(services);
    w.SetHighlighter(hl.get());
    TEditorCfg cfg;
    cfg.LineNumbers = true;
    w.ApplyEditorConfig(cfg);
    w.SetColorCurrentLine(true);
    w.editor().setText(
        "// Greets the world.\n#include <cstdio>\n\nint main(int argc, char** argv) {\n"
        "  const char* name = argc > 1 ? argv[1] : \"world\";\n  for (int i = 0; i < 3; ++i) {\n"
        "    std::printf(\"hello, %s %d\\n\", name, i);  /* three times */\n  }\n  return 0;\n}\n");
    w.resize(760, 320);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    w.SetCaret(8, 3);  // on the opening parenthesis: its pair is highlighted
    QCOMPARE(w.editor().topLine(), 1);
    QCOMPARE(w.editor().leftChar(), 1);
    const QImage shot = w.grab().toImage();
    QVERIFY(!shot.isNull());
    const QByteArray out = qgetenv("QV_SCREENSHOT");
    if (!out.isEmpty()) shot.save(QString::fromLocal8Bit(out));
  }
};

QTEST_MAIN(TestEditorWindow)
#include "test_editor_window.moc"
