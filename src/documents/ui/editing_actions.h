// The menu actions of the editing commands, bookmarks and Go To Line, and the hook that puts
// the program's editor commands on a document's editor.
#pragma once
#include <QObject>
#include <QString>

#include <functional>
#include <map>
#include <optional>

#include "documents/editing_commands.h"

class QAction;
class QMenu;

namespace qv {

// Puts the program's commands, their keys and the typing aids on a document's editor.
// `context` is asked on every command (give it the program's EditingMemory so Go To Line
// proposes the last line across documents; without a clipboard it uses the desktop's);
// `other` gets Find, Find Next and Find Previous.
void InstallEditingCommands(Editor& editor, std::function<EditingContext()> context,
                            std::function<void(EditorCommand, CommandData&)> other = {});

// The active document as the actions see it.
struct EditingTarget {
  Editor* editor = nullptr;
  EditingContext context;  // locked, newFile, fileName, markers, settings
};
using ActiveEditing = std::function<std::optional<EditingTarget>()>;

// The menus the actions go into; a null menu gets none of them.
struct EditingMenus {
  QMenu* edit = nullptr;
  QMenu* format = nullptr;
  QMenu* view = nullptr;
};

// Owns the actions (as Qt children) and applies their enabling rules.
class EditingActions : public QObject {
  Q_OBJECT
 public:
  EditingActions(QObject* owner, const EditingMenus& menus, ActiveEditing active);

  // The action by its name ("acEditSortText", "acSetBookmark3", ...), nullptr when unknown.
  QAction* action(const QString& name) const;
  // Recomputes enabled and visible states for the active document (call when idle).
  void refresh();
  // Rebuilds the Jump To Bookmark captions from the active document's marks.
  void refreshBookmarkCaptions();

 private:
  QAction* add(QMenu* menu, const char* name, const QString& caption, const QString& shortcut,
               std::function<void(EditingTarget&)> run);
  void buildBookmarkMenus(QMenu* view);

  ActiveEditing active_;
  std::map<QString, QAction*> actions_;
  QMenu* setBookmarkMenu_ = nullptr;
  QMenu* jumpBookmarkMenu_ = nullptr;
};

}  // namespace qv
