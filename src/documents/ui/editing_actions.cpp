// The menu actions of the editing commands, bookmarks and Go To Line.
#include "documents/ui/editing_actions.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>

#include <memory>

#include "documents/bookmarks.h"
#include "documents/toggle_comment.h"
#include "editor/ui/qt_clipboard.h"

namespace qv {

namespace {

bool Unlocked(const EditingTarget& t) { return !t.context.locked && !t.editor->readOnly(); }

}  // namespace

void InstallEditingCommands(Editor& editor, std::function<EditingContext()> context,
                            std::function<void(EditorCommand, CommandData&)> other) {
  // Copy Filename goes to the desktop clipboard unless the caller names another.
  auto desktop = std::make_shared<QtClipboard>();
  auto withClipboard = [context = std::move(context), desktop] {
    EditingContext ctx = context ? context() : EditingContext{};
    if (!ctx.clipboard) ctx.clipboard = desktop.get();
    return ctx;
  };
  AttachEditingCommands(editor, std::move(withClipboard), std::move(other));
}

EditingActions::EditingActions(QObject* owner, const EditingMenus& menus, ActiveEditing active)
    : QObject(owner), active_(std::move(active)) {
  auto command = [](EditorCommand c) { return [c](EditingTarget& t) { t.editor->executeCommand(c); }; };
  auto onBracket = [](EditorCommand c) {
    return [c](EditingTarget& t) {
      if (IsBracket(t.editor->charAtCaret())) t.editor->executeCommand(c);
    };
  };
  QMenu* edit = menus.edit;
  add(edit, "acEditCopyFilename", tr("Cop&y Filename"), {}, command(ecCopyFilenameToClipboard));
  add(edit, "acEditToggleSelMode", tr("T&oggle Selection Mode"), "Ctrl+L", command(ecToggleSelectionMode));
  add(edit, "acEditSortText", tr("&Sort Text"), "Shift+F2", command(ecSortBlock));
  add(edit, "acEditMatchBraces", tr("&Match Braces"), "Ctrl+M", onBracket(ecMatchBracket));
  add(edit, "acEditSelMatchBraces", tr("Se&lect Text Between Braces"), "Ctrl+Shift+M", onBracket(ecSelTextInBraces));

  QMenu* format = menus.format;
  add(format, "acFormatIndentBlock", tr("&Indent Block"), "Ctrl+Shift+I", command(ecBlockIndent));
  add(format, "acFormatUnindentBlock", tr("&Unindent Block"), "Ctrl+Shift+U", command(ecBlockUnindent));
  add(format, "acFormatToLowerCase", tr("To &Lower Case"), "Ctrl+F5", command(ecLowerCaseBlock));
  add(format, "acFormatToUpperCase", tr("To &Upper Case"), "Alt+F5", command(ecUpperCaseBlock));
  add(format, "acFormatInvertCase", tr("I&nvert Case"), "F5", command(ecToggleCaseBlock));
  add(format, "acFormatReformatParagraph", tr("&Reformat Paragraph"), {}, command(ecReformatParagraph));
  add(format, "acFormatFillBlock", tr("&Fill Block"), "Ctrl+I", command(ecFillBlock));
  add(format, "acFormatCommentUncommentCode", tr("&Comment/Uncomment Code"), "Ctrl+Shift+C",
      command(ecToggleCommentBlock));
  add(format, "acFormatInsertTimeStamp", tr("Insert Ti&me Stamp"), "Ctrl+Shift+T", command(ecInsertTimeStamp));
  add(format, "acFormatConvertTabsToSpaces", tr("Convert T&abs To Spaces..."), {}, command(ecConvertTabsToSpaces));
  add(format, "acFormatConvertSpacesToTabs", tr("Convert S&paces To Tabs..."), {}, command(ecConvertSpacesToTabs));
  add(format, "acFormatRemoveComments", tr("Remove Comm&ents"), {}, command(ecRemoveComments));
  add(format, "acFormatRemoveTrailingSpaces", tr("Remove &Trailing Spaces"), {}, command(ecRemoveTrailingSpaces));

  buildBookmarkMenus(menus.view);
  add(menus.view, "acGoToLine", tr("&Go To Line"), "Ctrl+G", command(ecGoToLine));

  for (QMenu* m : {menus.edit, menus.format, menus.view})
    if (m) connect(m, &QMenu::aboutToShow, this, &EditingActions::refresh);
  refresh();
}

QAction* EditingActions::add(QMenu* menu, const char* name, const QString& caption, const QString& shortcut,
                             std::function<void(EditingTarget&)> run) {
  auto* a = new QAction(caption, this);
  a->setObjectName(QString::fromLatin1(name));
  if (!shortcut.isEmpty()) a->setShortcut(QKeySequence(shortcut));
  connect(a, &QAction::triggered, this, [this, run = std::move(run)] {
    auto target = active_ ? active_() : std::nullopt;
    if (target && target->editor) run(*target);
  });
  if (menu) menu->addAction(a);
  actions_[a->objectName()] = a;
  return a;
}

void EditingActions::buildBookmarkMenus(QMenu* view) {
  auto* setHead = add(view, "acSetBookmark", tr("&Set Bookmark"), {}, [](EditingTarget&) {});
  auto* jumpHead = add(view, "acJumpToBookmark", tr("&Jump To Bookmark"), {}, [](EditingTarget&) {});
  setBookmarkMenu_ = new QMenu();
  jumpBookmarkMenu_ = new QMenu();
  setBookmarkMenu_->setObjectName("pmSetBookmark");
  jumpBookmarkMenu_->setObjectName("pmJumpToBookmark");
  connect(this, &QObject::destroyed, setBookmarkMenu_, &QObject::deleteLater);
  connect(this, &QObject::destroyed, jumpBookmarkMenu_, &QObject::deleteLater);
  setHead->setMenu(setBookmarkMenu_);
  jumpHead->setMenu(jumpBookmarkMenu_);
  for (int n = 0; n <= 9; ++n) {
    const QString digit = QString::number(n);
    add(setBookmarkMenu_, ("acSetBookmark" + digit.toStdString()).c_str(), "&" + digit, "Ctrl+Shift+" + digit,
        [n](EditingTarget& t) { ToggleBookmark(*t.editor, n); });
    add(jumpBookmarkMenu_, ("acJumpToBookmark" + digit.toStdString()).c_str(), "&" + digit, "Ctrl+" + digit,
        [n](EditingTarget& t) { JumpToBookmark(*t.editor, n); });
  }
  connect(jumpBookmarkMenu_, &QMenu::aboutToShow, this, &EditingActions::refreshBookmarkCaptions);
}

QAction* EditingActions::action(const QString& name) const {
  auto it = actions_.find(name);
  return it == actions_.end() ? nullptr : it->second;
}

void EditingActions::refreshBookmarkCaptions() {
  auto target = active_ ? active_() : std::nullopt;
  for (int n = 0; n <= 9; ++n) {
    QAction* a = action("acJumpToBookmark" + QString::number(n));
    if (a) a->setText("&" + QString::number(n));
  }
  if (!target || !target->editor) return;
  const auto captions = JumpToBookmarkCaptions(*target->editor);
  for (int n = 0; n <= 9; ++n)
    if (QAction* a = action("acJumpToBookmark" + QString::number(n)))
      a->setText(QString::fromStdString(captions[static_cast<std::size_t>(n)]));
}

void EditingActions::refresh() {
  auto target = active_ ? active_() : std::nullopt;
  const bool doc = target && target->editor;
  const bool unlocked = doc && Unlocked(*target);
  const bool sel = doc && target->editor->selAvail();
  const bool column = doc && target->editor->selectionMode() == SelectionMode::Column;
  const bool markers = doc && CanToggleComment(target->context);
  auto enable = [this](const char* name, bool on) {
    if (QAction* a = action(QString::fromLatin1(name))) a->setEnabled(on);
  };
  auto show = [this](const char* name, bool on) {
    if (QAction* a = action(QString::fromLatin1(name))) a->setVisible(on);
  };
  enable("acEditCopyFilename", doc && !target->context.newFile);
  enable("acEditToggleSelMode", doc);
  enable("acEditSortText", sel && unlocked);
  enable("acEditMatchBraces", doc);
  enable("acEditSelMatchBraces", doc);
  for (const char* name : {"acFormatToLowerCase", "acFormatToUpperCase", "acFormatInvertCase",
                           "acFormatReformatParagraph", "acFormatInsertTimeStamp", "acFormatConvertTabsToSpaces",
                           "acFormatConvertSpacesToTabs", "acFormatRemoveTrailingSpaces"})
    enable(name, unlocked);
  enable("acFormatIndentBlock", unlocked && sel);
  enable("acFormatUnindentBlock", unlocked && sel);
  enable("acFormatFillBlock", unlocked && sel && column);
  enable("acFormatCommentUncommentCode", unlocked && markers);
  enable("acFormatRemoveComments", unlocked && markers);
  show("acSetBookmark", doc);
  show("acJumpToBookmark", doc);
  show("acGoToLine", doc);
  for (int n = 0; n <= 9; ++n) {
    enable(("acSetBookmark" + std::to_string(n)).c_str(), doc);
    enable(("acJumpToBookmark" + std::to_string(n)).c_str(), doc);
  }
}

}  // namespace qv
