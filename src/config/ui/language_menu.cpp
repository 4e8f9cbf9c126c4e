// The "Language" submenu of the Options menu.
#include "config/ui/language_menu.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QWidget>

#include "config/ui/translate_widget.h"
#include "platform/registry.h"

namespace qv {
namespace {

// The submenu's own caption from the main window's section; the rest of that section names
// components the submenu does not hold and is ignored.
void TranslateCaption(QMenu* menu, const QWidget* mainWindow) {
  const std::string section = mainWindow ? mainWindow->objectName().toStdString() : "fmMain";
  const LanguageTable::FormSection* found = ProgramLanguage().section(section);
  if (!found) return;
  std::string key, text;
  for (const std::string& line : found->lines) {
    if (!SplitLanguageLine(line, key, text)) continue;
    if (QString::fromStdString(key).compare(menu->menuAction()->objectName(), Qt::CaseInsensitive) == 0) {
      menu->setTitle(QString::fromStdString(text));
      return;
    }
  }
}

// Lists the choices afresh each time the menu opens, so a language file added meanwhile shows.
void Rebuild(QMenu* menu, Prompter* prompter, const std::filesystem::path& folder) {
  menu->clear();
  for (QActionGroup* old : menu->findChildren<QActionGroup*>(QString(), Qt::FindDirectChildrenOnly)) delete old;
  auto* group = new QActionGroup(menu);
  group->setExclusive(true);

  Registry reg;
  const std::vector<LanguageEntry> choices = LanguageChoices(folder);
  const std::size_t active = PreselectedLanguage(choices, ReadLanguageSetting(reg));
  for (std::size_t i = 0; i < choices.size(); ++i) {
    QString caption = QString::fromStdString(choices[i].displayName);
    QAction* a = menu->addAction(caption.replace("&", "&&"));
    a->setObjectName(QString("miLanguage%1").arg(i));
    a->setCheckable(true);
    a->setChecked(i == active);
    group->addAction(a);
    // The setting is read again on choosing: the menu may have stayed open across a change.
    QObject::connect(a, &QAction::triggered, menu, [prompter, folder, choices, i] {
      Registry reg;
      std::string setting = ReadLanguageSetting(reg);
      const std::size_t current = PreselectedLanguage(choices, setting);
      if (ApplyLanguageChoice(setting, choices, current, i, folder, prompter ? *prompter : UserPrompter())) WriteLanguageSetting(reg, setting);
    });
  }
}

}  // namespace

QMenu* InstallLanguageMenu(QMenu* optionsMenu, QWidget* mainWindow, Prompter* prompter,
                           const std::filesystem::path& languageFolder) {
  if (!optionsMenu) return nullptr;
  QMenu* menu = optionsMenu->addMenu(QStringLiteral("&Language"));
  menu->setObjectName("miLanguageMenu");
  menu->menuAction()->setObjectName("miLanguage");
  TranslateCaption(menu, mainWindow);
  QObject::connect(menu, &QMenu::aboutToShow, menu,
                   [menu, prompter, languageFolder] { Rebuild(menu, prompter, languageFolder); });
  Rebuild(menu, prompter, languageFolder);
  return menu;
}

}  // namespace qv
