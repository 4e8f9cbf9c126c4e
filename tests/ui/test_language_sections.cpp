// The shipped German translation against the real windows, and the Language submenu.
#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QtTest>

#include <filesystem>
#include <fstream>
#include <memory>

#include "config/env_options.h"
#include "config/language_choice.h"
#include "config/ui/language_menu.h"
#include "config/ui/translate_widget.h"
#include "documents/ui/editing_actions.h"
#include "documents/ui/editor_window.h"
#include "platform/folders.h"
#include "platform/registry.h"
#include "platform/scripted_prompter.h"
#include "shell/ui/main_window.h"
#include "ui_test_env.h"

namespace fs = std::filesystem;
using qv::TfmMain;

namespace {

const fs::path kShippedGerman = fs::path(QUIRVANE_SOURCE_DIR) / "src/resources/language/Deutsch.lng";

std::string ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Every key of a form section, "FormCaption" aside.
QStringList SectionKeys(const qv::LanguageTable& table, const char* section) {
  QStringList keys;
  if (const auto* found = table.section(section)) {
    std::string key, text;
    for (const std::string& line : found->lines)
      if (qv::SplitLanguageLine(line, key, text) && key != "FormCaption") keys << QString::fromStdString(key);
  }
  return keys;
}

bool HasComponent(const QObject* root, const QString& name) {
  for (const QObject* child : root->findChildren<QObject*>())
    if (child->objectName().compare(name, Qt::CaseInsensitive) == 0) return true;
  return false;
}

std::string LanguageSetting() {
  qv::Registry reg;
  return qv::ReadLanguageSetting(reg);
}

void SetLanguageSetting(const std::string& name) {
  qv::Registry reg;
  qv::WriteLanguageSetting(reg, name);
}

QAction* Entry(QMenu* menu, const QString& text) {
  for (QAction* a : menu->actions())
    if (a->text() == text) return a;
  return nullptr;
}

// The accelerator letter of a caption ("Ö&ffnen..." gives "f"), empty when it has none.
QString Accelerator(const QString& caption) {
  for (int i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != '&') continue;
    if (caption[i + 1] != '&') return caption.mid(i + 1, 1).toLower();
    ++i;
  }
  return {};
}

// "menu: letter (first, second)" for every letter two items of one menu share.
QStringList SharedAccelerators(const QString& where, const QList<QAction*>& actions) {
  QStringList clashes;
  QMap<QString, QString> seen;
  for (const QAction* a : actions) {
    const QString letter = Accelerator(a->text());
    if (letter.isEmpty()) continue;
    if (seen.contains(letter)) clashes << QString("%1: %2 (%3, %4)").arg(where, letter, seen[letter], a->text());
    else seen[letter] = a->text();
  }
  return clashes;
}

QString CheckedEntry(QMenu* menu) {
  for (QAction* a : menu->actions())
    if (a->isChecked()) return a->text();
  return {};
}

}  // namespace

class TestLanguageSections : public QObject {
  Q_OBJECT

  std::unique_ptr<TfmMain> window_;
  qv::ScriptedPrompter* prompter_ = nullptr;
  QStringList failures_;

  // The main window as the program builds it (editing actions and Language menu included),
  // and one document window.
  TfmMain& start() {
    window_ = std::make_unique<TfmMain>();
    TfmMain& w = *window_;
    w.show();
    w.NewDocument();
    return w;
  }

 private slots:
  void initTestCase() {
    qv::test::UsePrivateDirs();
    const fs::path folder = qv::LanguageFolder();
    fs::create_directories(folder);
    fs::copy_file(kShippedGerman, folder / "Deutsch.lng", fs::copy_options::overwrite_existing);
    qv::EnvOptions().StartAction = 0;
    qv::EnvOptions().MinimizeIfNoFiles = false;
  }
  void cleanupTestCase() { qv::ReleaseEnvOptions(); }

  void init() {
    qv::ProgramLanguage().clear();
    SetLanguageSetting("");
    failures_.clear();
    auto prompter = std::make_unique<qv::ScriptedPrompter>(
        [this](const std::string& what) { failures_ << QString::fromStdString(what); });
    prompter_ = prompter.get();
    qv::InstallPrompter(std::move(prompter));
  }

  void cleanup() {
    if (window_) {
      window_->close();
      window_.reset();
    }
    QVERIFY2(failures_.isEmpty(), qPrintable(failures_.join("; ")));
    QCOMPARE(prompter_->pending(), std::size_t(0));
    qv::InstallPrompter(nullptr);
    qv::ProgramLanguage().clear();
  }

  void everySectionKeyNamesAComponentOfItsWindow() {
    qv::LanguageTable german;
    german.append(ReadAll(kShippedGerman));
    TfmMain& w = start();
    QVERIFY(w.ActiveEditor());
    const std::pair<const char*, const QObject*> windows[] = {{"fmMain", &w}, {"fmEditor", w.ActiveEditor()}};
    for (const auto& [section, root] : windows) {
      QVERIFY2(german.section(section), section);
      QStringList missing;
      for (const QString& key : SectionKeys(german, section))
        if (!HasComponent(root, key)) missing << key;
      QVERIFY2(missing.isEmpty(), qPrintable(QString("%1 names no component: %2").arg(section, missing.join(", "))));
    }
    QVERIFY(SectionKeys(german, "fmMain").size() > 50);
  }

  // Every menu and action of the main window that shows a word has its German caption.
  void everyCaptionOfTheMainWindowIsTranslated() {
    qv::LanguageTable german;
    german.append(ReadAll(kShippedGerman));
    const QStringList keys = SectionKeys(german, "fmMain");
    TfmMain& w = start();
    // Numbered entries, lists built while running and character set names stay as they are.
    const QRegularExpression untranslated(
        "^(acSetBookmark\\d|acJumpToBookmark\\d|miRecentFile\\d+|miWindow\\d+|miLanguage\\d+|"
        "acCharsetUTF8|acCharsetWindows1252)$");
    QStringList missing;
    for (const QAction* a : w.findChildren<QAction*>()) {
      const QString name = a->objectName();
      if (name.isEmpty() || a->text().isEmpty() || untranslated.match(name).hasMatch()) continue;
      if (!keys.contains(name, Qt::CaseInsensitive)) missing << name + " (" + a->text() + ")";
    }
    QVERIFY2(missing.isEmpty(), qPrintable("no German caption for: " + missing.join(", ")));
  }

  void theMainWindowStartsInTheChosenLanguage() {
    SetLanguageSetting("Deutsch.lng");
    TfmMain& w = start();
    const std::pair<const char*, QString> captions[] = {
        {"acFile", "&Datei"},      {"acOpen", "Ö&ffnen..."},          {"acSaveAs", "Speichern &unter..."},
        {"acEdit", "&Bearbeiten"}, {"acEditUndo", "&Rückgängig"},     {"acWin", "&Fenster"},
        {"acRecentFiles", "Zule&tzt geöffnete Dateien"},                {"acExit", "&Beenden"}};
    for (const auto& [name, german] : captions) {
      QAction* a = w.action(name);
      QVERIFY2(a, name);
      QCOMPARE(a->text(), german);
    }
    QCOMPARE(w.menu("acFile")->title(), QString("&Datei"));
    QCOMPARE(w.menuBar()->actions().first()->text(), QString("&Datei"));
    QCOMPARE(w.findChild<QMenu*>("miLanguageMenu")->title(), QString("&Sprache"));
    // Hints come from the message table, so they must be set once the language is loaded.
    QCOMPARE(w.action("acNew")->toolTip(), QString("Neue Datei"));
  }

  void editingActionsTakeTheirCaptionsWhenTheWindowIsTranslated() {
    TfmMain& w = start();
    QVERIFY(qv::LoadLanguage("Deutsch.lng"));
    qv::TranslateWidget(&w, "fmMain");
    QCOMPARE(w.action("acEditCopyFilename")->text(), QString("Datei&namen kopieren"));
    QCOMPARE(w.action("acFormatRemoveTrailingSpaces")->text(), QString("Leerzeichen am Zeilenen&de entfernen"));
    QCOMPARE(w.menu("acFormat")->title(), QString("Fo&rmat"));
    QCOMPARE(w.action("acGoToLine")->text(), QString("&Gehe zu Zeile"));
  }

  void germanAcceleratorsAreUniqueInEachMenu() {
    TfmMain& w = start();
    QVERIFY(qv::LoadLanguage("Deutsch.lng"));
    qv::TranslateWidget(&w, "fmMain");
    QCOMPARE(Accelerator(w.menu("acFile")->title()), QString("d"));
    QStringList clashes = SharedAccelerators("menu bar", w.menuBar()->actions());
    for (const QMenu* m : w.findChildren<QMenu*>()) clashes << SharedAccelerators(m->objectName(), m->actions());
    for (const char* name : {"acSetBookmark", "acJumpToBookmark"})
      if (const QMenu* m = w.action(name)->menu()) clashes << SharedAccelerators(name, m->actions());
    QVERIFY2(clashes.isEmpty(), qPrintable(clashes.join("; ")));
  }

  void choosingALanguageStoresItAndWarnsOfTheRestart() {
    const fs::path folder = fs::path(qv::test::UsePrivateDirs().path().toStdString()) / "choose" / "language";
    fs::create_directories(folder);
    fs::copy_file(kShippedGerman, folder / "Deutsch.lng", fs::copy_options::overwrite_existing);
    std::ofstream(folder / "Plain.lng") << "[messages]\n8013=plain\n";
    QWidget main;
    main.setObjectName("fmMain");
    QMenu options;
    QMenu* menu = qv::InstallLanguageMenu(&options, &main, prompter_, folder);
    QVERIFY(menu);
    QCOMPARE(options.actions().last(), menu->menuAction());
    QCOMPARE(menu->title(), QString("&Language"));
    QCOMPARE(menu->actions().size(), 3);
    QCOMPARE(menu->actions().first()->text(), QString("English"));
    QCOMPARE(CheckedEntry(menu), QString("English"));
    QVERIFY(Entry(menu, "Plain.lng"));  // no descriptor: listed by its file name

    prompter_->answerMessage(qv::MsgResult::Ok, "Die Sprache wird beim nächsten Programmstart umgestellt.");
    Entry(menu, "Deutsch")->trigger();
    QCOMPARE(LanguageSetting(), std::string("Deutsch.lng"));
    QCOMPARE(CheckedEntry(menu), QString("Deutsch"));
    QVERIFY(!prompter_->asked().empty());
    QCOMPARE(prompter_->asked().back().icon, qv::MsgIcon::Warning);
    QCOMPARE(prompter_->asked().back().buttons, qv::MsgButtons::Ok);
    // Loaded at once: texts built from now on are German.
    QCOMPARE(QString::fromStdString(qv::TranslatedText(3012, "Error")), QString("Fehler"));

    // The active entry again: nothing to change, nothing asked.
    Entry(menu, "Deutsch")->trigger();
    QCOMPARE(LanguageSetting(), std::string("Deutsch.lng"));

    // Back to English: the setting empties; the loaded texts stay until the next start.
    prompter_->answerMessage(qv::MsgResult::Ok, "Die Sprache wird beim nächsten Programmstart umgestellt.");
    Entry(menu, "English")->trigger();
    QCOMPARE(LanguageSetting(), std::string());
    QCOMPARE(prompter_->asked().size(), std::size_t(2));

    // Reopening the menu lists afresh and checks what is stored.
    SetLanguageSetting("DEUTSCH.LNG");
    emit menu->aboutToShow();
    QCOMPARE(CheckedEntry(menu), QString("Deutsch"));
  }
};

QTEST_MAIN(TestLanguageSections)
#include "test_language_sections.moc"
