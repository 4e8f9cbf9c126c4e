// Qt message boxes and standard dialogs behind the program's prompter.
#include "platform/ui/qt_prompter.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QFontDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPalette>

namespace qv {
namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }
std::string S(const QString& s) { return s.toStdString(); }

QMessageBox::Icon ToQt(MsgIcon icon) {
  switch (icon) {
    case MsgIcon::Information: return QMessageBox::Information;
    case MsgIcon::Warning: return QMessageBox::Warning;
    case MsgIcon::Error: return QMessageBox::Critical;
    case MsgIcon::Question: return QMessageBox::Question;
    case MsgIcon::None: break;
  }
  return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons ToQt(MsgButtons buttons) {
  switch (buttons) {
    case MsgButtons::Ok: return QMessageBox::Ok;
    case MsgButtons::OkCancel: return QMessageBox::Ok | QMessageBox::Cancel;
    case MsgButtons::YesNo: return QMessageBox::Yes | QMessageBox::No;
    case MsgButtons::YesNoCancel: return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case MsgButtons::RetryCancel: return QMessageBox::Retry | QMessageBox::Cancel;
    case MsgButtons::AbortRetryIgnore: return QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore;
  }
  return QMessageBox::Ok;
}

std::optional<MsgResult> FromQt(int button) {
  switch (button) {
    case QMessageBox::Ok: return MsgResult::Ok;
    case QMessageBox::Cancel: return MsgResult::Cancel;
    case QMessageBox::Yes: return MsgResult::Yes;
    case QMessageBox::No: return MsgResult::No;
    case QMessageBox::Abort: return MsgResult::Abort;
    case QMessageBox::Retry: return MsgResult::Retry;
    case QMessageBox::Ignore: return MsgResult::Ignore;
    default: return std::nullopt;
  }
}

QPalette::ColorRole SystemRole(std::uint32_t index) {
  switch (index) {
    case 5: return QPalette::Base;
    case 8: return QPalette::Text;
    case 13: return QPalette::Highlight;
    case 14: return QPalette::HighlightedText;
    case 15: return QPalette::Button;
    default: return QPalette::Window;
  }
}

}  // namespace

QStringList QtNameFilters(std::string_view filter) {
  QStringList parts = QString::fromUtf8(filter.data(), static_cast<qsizetype>(filter.size())).split('|');
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QString patterns = parts[i + 1].trimmed();
    patterns.replace(';', ' ');
    filters << parts[i].trimmed() + " (" + patterns.simplified() + ")";
  }
  return filters;
}

QString QtMessageText(const std::string& text) {
  QString t = Q(text);
  t.replace("\r\n", "\n");
  t.replace('\r', '\n');
  return t;
}

QColor QColorFromColorRef(std::uint32_t color) {
  if (color == 0x1FFFFFFFu) return QColor();
  if ((color & 0xFF000000u) == 0x80000000u)
    return QApplication::palette().color(QPalette::Active, SystemRole(color & 0xFFu));
  return QColor(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                static_cast<int>((color >> 16) & 0xFF));
}

std::uint32_t ColorRefFromQColor(const QColor& color) {
  if (!color.isValid()) return 0x1FFFFFFFu;
  QColor rgb = color.toRgb();
  return static_cast<std::uint32_t>(rgb.red()) | (static_cast<std::uint32_t>(rgb.green()) << 8) |
         (static_cast<std::uint32_t>(rgb.blue()) << 16);
}

QFont QFontFromSpec(const FontSpec& given) {
  QFont font(Q(given.name));
  if (given.size > 0) font.setPointSize(given.size);
  font.setBold((given.style & 1) != 0);
  font.setItalic((given.style & 2) != 0);
  font.setUnderline((given.style & 4) != 0);
  font.setStrikeOut((given.style & 8) != 0);
  return font;
}

FontSpec SpecFromQFont(const QFont& font, std::uint32_t color) {
  FontSpec given;
  given.name = S(font.family());
  given.size = font.pointSize() > 0 ? font.pointSize() : given.size;
  given.color = color;
  given.style = (font.bold() ? 1 : 0) | (font.italic() ? 2 : 0) | (font.underline() ? 4 : 0) |
               (font.strikeOut() ? 8 : 0);
  return given;
}

QWidget* QtPrompter::parentWidget() const {
  return parent_ ? parent_ : QApplication::activeWindow();
}

MsgResult QtPrompter::message(const std::string& caption, const std::string& text, MsgIcon icon,
                              MsgButtons buttons) {
  QMessageBox box(ToQt(icon), Q(caption), QtMessageText(text), ToQt(buttons), parentWidget());
  int clicked = box.exec();
  // Escape or the close box gives the answer a cancelled box gives.
  return FromQt(clicked).value_or(CancelAnswer(buttons));
}

std::optional<std::string> QtPrompter::input(const std::string& caption, const std::string& prompt,
                                             const std::string& initial) {
  bool ok = false;
  QString answer = QInputDialog::getText(parentWidget(), Q(caption), QtMessageText(prompt), QLineEdit::Normal,
                                         Q(initial), &ok);
  if (!ok) return std::nullopt;
  return S(answer);
}

std::optional<FileDialogAnswer> QtPrompter::fileDialog(const FileDialogRequest& request, bool save) {
  QFileDialog dialog(parentWidget(), Q(request.caption), Q(request.initialDir));
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(save ? QFileDialog::AnyFile
                          : (request.allowMultiple ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile));
  if (save && !request.overwritePrompt) dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
  const QStringList filters = QtNameFilters(request.filter);
  if (!filters.isEmpty()) {
    dialog.setNameFilters(filters);
    int index = request.filterIndex >= 1 && request.filterIndex <= filters.size() ? request.filterIndex : 1;
    dialog.selectNameFilter(filters[index - 1]);
  }
  if (!request.defaultExt.empty()) dialog.setDefaultSuffix(Q(request.defaultExt));
  if (!request.fileName.empty()) dialog.selectFile(Q(request.fileName));
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  FileDialogAnswer answer;
  for (const QString& f : dialog.selectedFiles()) answer.files.push_back(S(f));
  if (answer.files.empty()) return std::nullopt;
  qsizetype chosen = filters.indexOf(dialog.selectedNameFilter());
  answer.filterIndex = chosen >= 0 ? static_cast<int>(chosen) + 1 : request.filterIndex;
  return answer;
}

std::optional<FileDialogAnswer> QtPrompter::openFile(const FileDialogRequest& request) {
  return fileDialog(request, false);
}

std::optional<FileDialogAnswer> QtPrompter::saveFile(const FileDialogRequest& request) {
  return fileDialog(request, true);
}

std::optional<std::string> QtPrompter::chooseFolder(const std::string& caption, const std::string& initialDir) {
  QString dir = QFileDialog::getExistingDirectory(parentWidget(), Q(caption), Q(initialDir));
  if (dir.isEmpty()) return std::nullopt;
  return S(dir);
}

std::optional<FontSpec> QtPrompter::chooseFont(const FontSpec& initial, bool fixedPitchOnly) {
  QFontDialog::FontDialogOptions options;
  if (fixedPitchOnly) options |= QFontDialog::MonospacedFonts;
  bool ok = false;
  QFont font = QFontDialog::getFont(&ok, QFontFromSpec(initial), parentWidget(), QString(), options);
  if (!ok) return std::nullopt;
  return SpecFromQFont(font, initial.color);
}

std::optional<std::uint32_t> QtPrompter::chooseColor(std::uint32_t initial) {
  QColor start = QColorFromColorRef(initial);
  QColor chosen = QColorDialog::getColor(start.isValid() ? start : QColor(Qt::white), parentWidget());
  if (!chosen.isValid()) return std::nullopt;
  return ColorRefFromQColor(chosen);
}

}  // namespace qv
