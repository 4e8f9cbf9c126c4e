// The prompter of the running program: Qt message boxes and standard dialogs.
#pragma once
#include <QColor>
#include <QFont>
#include <QStringList>
#include <cstdint>
#include <string_view>

#include "platform/prompter.h"

class QWidget;

namespace qv {

// Dialogs open over the active window (or the one given).
class QtPrompter final : public Prompter {
 public:
  explicit QtPrompter(QWidget* parent = nullptr) : parent_(parent) {}

  MsgResult message(const std::string& caption, const std::string& text, MsgIcon icon,
                    MsgButtons buttons) override;
  std::optional<std::string> input(const std::string& caption, const std::string& prompt,
                                   const std::string& initial) override;
  std::optional<FileDialogAnswer> openFile(const FileDialogRequest& request) override;
  std::optional<FileDialogAnswer> saveFile(const FileDialogRequest& request) override;
  std::optional<std::string> chooseFolder(const std::string& caption,
                                          const std::string& initialDir) override;
  std::optional<FontSpec> chooseFont(const FontSpec& initial, bool fixedPitchOnly) override;
  std::optional<std::uint32_t> chooseColor(std::uint32_t initial) override;

 private:
  QWidget* parentWidget() const;
  std::optional<FileDialogAnswer> fileDialog(const FileDialogRequest& request, bool save);
  QWidget* parent_;
};

// "Description|*.a;*.b|Other|*.*" as Qt name filters: "Description (*.a *.b)", "Other (*.*)".
QStringList QtNameFilters(std::string_view filter);

// Message texts use CR LF or CR for line breaks; Qt wants LF.
QString QtMessageText(const std::string& text);

// The 0x00BBGGRR encoding and Qt colours. System colours (0x80000000 + index) take the
// application palette's matching role; "no colour" gives an invalid QColor.
QColor QColorFromColorRef(std::uint32_t color);
std::uint32_t ColorRefFromQColor(const QColor& color);

// Stored fonts and Qt fonts (style bits 1 bold, 2 italic, 4 underline, 8 strike-out).
QFont QFontFromSpec(const FontSpec& given);
FontSpec SpecFromQFont(const QFont& font, std::uint32_t color);

}  // namespace qv
