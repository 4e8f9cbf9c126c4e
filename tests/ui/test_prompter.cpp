// The Qt prompter's conversions: dialog filters, colours, fonts and message line breaks.
#include <QApplication>
#include <QPalette>
#include <QtTest>

#include "platform/ui/qt_prompter.h"
#include "ui_test_env.h"

class TestPrompter : public QObject {
  Q_OBJECT

 private slots:
  void filtersBecomeQtNameFilters_data() {
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("two pairs") << "Pascal files|*.pas;*.pp|All files (*.*)|*.*"
                               << QStringList{"Pascal files (*.pas *.pp)", "All files (*.*) (*.*)"};
    QTest::newRow("one pattern") << "Registry files (*.reg)|*.reg"
                                 << QStringList{"Registry files (*.reg) (*.reg)"};
    QTest::newRow("blanks around patterns") << "C| *.c ; *.h " << QStringList{"C (*.c *.h)"};
    QTest::newRow("dangling description") << "Text|*.txt|Broken" << QStringList{"Text (*.txt)"};
    QTest::newRow("empty") << "" << QStringList{};
  }
  void filtersBecomeQtNameFilters() {
    QFETCH(QString, filter);
    QFETCH(QStringList, expected);
    QCOMPARE(qv::QtNameFilters(filter.toStdString()), expected);
  }

  void colorsUseRedInTheLowByte() {
    QCOMPARE(qv::QColorFromColorRef(0x000000FFu), QColor(255, 0, 0));
    QCOMPARE(qv::QColorFromColorRef(0x00FF0000u), QColor(0, 0, 255));
    QCOMPARE(qv::QColorFromColorRef(0x00123456u), QColor(0x56, 0x34, 0x12));
    QCOMPARE(qv::ColorRefFromQColor(QColor(0x56, 0x34, 0x12)), 0x00123456u);
    QCOMPARE(qv::ColorRefFromQColor(QColor(Qt::green)), 0x0000FF00u);
    for (std::uint32_t c : {0x00000000u, 0x00FFFFFFu, 0x00808000u, 0x0000A5FFu})
      QCOMPARE(qv::ColorRefFromQColor(qv::QColorFromColorRef(c)), c);
  }

  void systemColorsAndNoColor() {
    const QPalette palette = QApplication::palette();
    QCOMPARE(qv::QColorFromColorRef(0x80000005u), palette.color(QPalette::Active, QPalette::Base));
    QCOMPARE(qv::QColorFromColorRef(0x80000008u), palette.color(QPalette::Active, QPalette::Text));
    QCOMPARE(qv::QColorFromColorRef(0x8000000Du), palette.color(QPalette::Active, QPalette::Highlight));
    QCOMPARE(qv::QColorFromColorRef(0x8000000Fu), palette.color(QPalette::Active, QPalette::Button));
    QVERIFY(!qv::QColorFromColorRef(0x1FFFFFFFu).isValid());
    QCOMPARE(qv::ColorRefFromQColor(QColor()), 0x1FFFFFFFu);
  }

  void fontsKeepStyleBits() {
    qv::FontSpec given{"Courier New", 12, 0x000000FFu, 1 | 4};
    QFont font = qv::QFontFromSpec(given);
    QCOMPARE(font.family(), QString("Courier New"));
    QCOMPARE(font.pointSize(), 12);
    QVERIFY(font.bold());
    QVERIFY(!font.italic());
    QVERIFY(font.underline());
    QVERIFY(!font.strikeOut());
    for (int style = 0; style < 16; ++style) {
      given.style = style;
      QCOMPARE(qv::SpecFromQFont(qv::QFontFromSpec(given), given.color), given);
    }
  }

  void messageLineBreaks() {
    QCOMPARE(qv::QtMessageText("File 'a' already exists.\rDo you want to replace it?"),
             QString("File 'a' already exists.\nDo you want to replace it?"));
    QCOMPARE(qv::QtMessageText("one\r\ntwo\nthree"), QString("one\ntwo\nthree"));
  }
};

int main(int argc, char** argv) {
  qv::test::UsePrivateDirs();
  QApplication app(argc, argv);
  TestPrompter test;
  return QTest::qExec(&test, argc, argv);
}

#include "test_prompter.moc"
