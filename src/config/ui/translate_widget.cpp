// Translating Qt forms by component name, and the busy cursor.
#include "config/ui/translate_widget.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDockWidget>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QStackedWidget>
#include <QTabWidget>
#include <QWidget>

#include "config/hourglass.h"

namespace qv {
namespace {

QObject* FindByName(QWidget* root, const QString& name) {
  for (QObject* child : root->findChildren<QObject*>()) {
    if (child->objectName().compare(name, Qt::CaseInsensitive) == 0) return child;
  }
  return nullptr;
}

// A page of a tab widget takes the text as its tab's caption.
bool SetTabCaption(QWidget* page, const QString& text) {
  auto* stack = qobject_cast<QStackedWidget*>(page->parentWidget());
  auto* tabs = stack ? qobject_cast<QTabWidget*>(stack->parentWidget()) : nullptr;
  if (!tabs) return false;
  int index = tabs->indexOf(page);
  if (index < 0) return false;
  tabs->setTabText(index, text);
  return true;
}

void SetText(QObject* target, const QString& text) {
  if (auto* action = qobject_cast<QAction*>(target)) action->setText(text);
  else if (auto* button = qobject_cast<QAbstractButton*>(target)) button->setText(text);
  else if (auto* label = qobject_cast<QLabel*>(target)) label->setText(text);
  else if (auto* group = qobject_cast<QGroupBox*>(target)) group->setTitle(text);
  else if (auto* menu = qobject_cast<QMenu*>(target)) menu->setTitle(text);
  else if (auto* edit = qobject_cast<QLineEdit*>(target)) edit->setText(text);
  else if (auto* dock = qobject_cast<QDockWidget*>(target)) dock->setWindowTitle(text);
  else if (auto* widget = qobject_cast<QWidget*>(target)) SetTabCaption(widget, text);
}

}  // namespace

bool WidgetForm::isFrame() const { return !root_->isWindow(); }

void WidgetForm::setFormCaption(const std::string& text) {
  root_->setWindowTitle(QString::fromStdString(text));
}

void WidgetForm::setComponentText(const std::string& name, const std::string& text) {
  if (QObject* target = FindByName(root_, QString::fromStdString(name)))
    SetText(target, QString::fromStdString(text));
}

void TranslateWidget(QWidget* form, std::string_view sectionName, const LanguageTable& table) {
  if (!form) return;
  std::string section = sectionName.empty() ? form->objectName().toStdString() : std::string(sectionName);
  WidgetForm adapter(form);
  TranslateForm(adapter, section, table);
}

void InstallBusyCursor() {
  SetHourglassListener([](bool busy) {
    if (busy) QApplication::setOverrideCursor(Qt::WaitCursor);
    else QApplication::restoreOverrideCursor();
  });
}

}  // namespace qv
