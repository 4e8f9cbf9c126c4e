// Translating a Qt form: a language file's form section applied to its widgets by objectName().
#pragma once
#include <QString>
#include <string_view>

#include "config/translation.h"

class QWidget;

namespace qv {

// A widget tree seen as named components: children are found by objectName() without regard
// to case; "FormCaption" sets the window title of a window (a widget that is not a window is a
// frame and has no caption of its own).
class WidgetForm final : public TranslatableForm {
 public:
  explicit WidgetForm(QWidget* root) : root_(root) {}
  bool isFrame() const override;
  void setFormCaption(const std::string& text) override;
  void setComponentText(const std::string& name, const std::string& text) override;

 private:
  QWidget* root_;
};

// Applies the section named sectionName (the form's objectName() when empty).
void TranslateWidget(QWidget* form, std::string_view sectionName = {},
                     const LanguageTable& table = ProgramLanguage());

// Shows the busy cursor while the wait-cursor counter is above zero.
void InstallBusyCursor();

}  // namespace qv
