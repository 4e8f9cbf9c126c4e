// Translating a Qt form from a language file by component name.
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QtTest>

#include "config/hourglass.h"
#include "config/ui/translate_widget.h"
#include "ui_test_env.h"

class TestTranslateForm : public QObject {
  Q_OBJECT

  // A small find dialog with the component kinds a form holds.
  struct FindForm {
    QDialog dialog;
    QPushButton* btnCancel = new QPushButton("Cancel", &dialog);
    QLabel* labFind = new QLabel("Find:", &dialog);
    QGroupBox* gbOptions = new QGroupBox("Options", &dialog);
    QAction* acFindNext = new QAction("Find Next", &dialog);
    QTabWidget* tabs = new QTabWidget(&dialog);
    QWidget* tsGeneral = new QWidget;
    FindForm() {
      dialog.setObjectName("fmFind");
      dialog.setWindowTitle("Find Text");
      btnCancel->setObjectName("btnCancel");
      labFind->setObjectName("labFind");
      gbOptions->setObjectName("gbOptions");
      acFindNext->setObjectName("acFindNext");
      tsGeneral->setObjectName("tsGeneral");
      tabs->addTab(tsGeneral, "General");
    }
  };

 private slots:
  void sectionRenamesComponentsWithoutCase() {
    qv::LanguageTable table;
    table.append(
        "[fmFind]\n"
        "FormCaption=Text suchen\n"
        "BTNCANCEL=Abbrechen\n"
        "labFind=&Suchen nach:\n"
        "gbOptions=\"Optionen\"\n"
        "acFindNext=&Weitersuchen\n"
        "tsGeneral=Allgemein\n"
        "noSuchButton=ignored\n"
        "FormCaption=second caption is an ordinary key\n");
    FindForm form;
    qv::TranslateWidget(&form.dialog, {}, table);
    QCOMPARE(form.dialog.windowTitle(), QString("Text suchen"));
    QCOMPARE(form.btnCancel->text(), QString("Abbrechen"));
    QCOMPARE(form.labFind->text(), QString("&Suchen nach:"));
    QCOMPARE(form.gbOptions->title(), QString("Optionen"));
    QCOMPARE(form.acFindNext->text(), QString("&Weitersuchen"));
    QCOMPARE(form.tabs->tabText(0), QString("Allgemein"));
  }

  void sectionNamesCompareExactly() {
    qv::LanguageTable table;
    table.append("[FMFIND]\nFormCaption=Upper case section\nbtnCancel=x\n");
    FindForm form;
    qv::TranslateWidget(&form.dialog, {}, table);
    QCOMPARE(form.dialog.windowTitle(), QString("Find Text"));
    QCOMPARE(form.btnCancel->text(), QString("Cancel"));
  }

  void framesHaveNoCaption() {
    qv::LanguageTable table;
    table.append("[frameFileCompareFileChoice]\nFormCaption=Titel\nbtnBrowse=Durchsuchen\n");
    QWidget window;
    auto* frame = new QWidget(&window);
    frame->setObjectName("frameFileCompareFileChoice");
    auto* browse = new QPushButton("Browse", frame);
    browse->setObjectName("btnBrowse");
    window.setWindowTitle("Compare");
    qv::TranslateWidget(frame, {}, table);
    QCOMPARE(window.windowTitle(), QString("Compare"));
    QCOMPARE(frame->windowTitle(), QString());
    QCOMPARE(browse->text(), QString("Durchsuchen"));
  }

  void busyCursorFollowsTheOutermostHourglass() {
    qv::InstallBusyCursor();
    QVERIFY(QApplication::overrideCursor() == nullptr);
    qv::SetHourglass(true);
    qv::SetHourglass(true);
    QVERIFY(QApplication::overrideCursor() != nullptr);
    QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    qv::SetHourglass(false);
    QVERIFY(QApplication::overrideCursor() != nullptr);
    qv::SetHourglass(false);
    QVERIFY(QApplication::overrideCursor() == nullptr);
  }
};

int main(int argc, char** argv) {
  qv::test::UsePrivateDirs();
  QApplication app(argc, argv);
  TestTranslateForm test;
  return QTest::qExec(&test, argc, argv);
}

#include "test_translate_form.moc"
