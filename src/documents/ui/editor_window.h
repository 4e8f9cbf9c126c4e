// The document window: one open file's editor view, ruler and status bar over its Document.
#pragma once
#include <QPointer>
#include <QStringList>
#include <QWidget>

#include <array>
#include <memory>

#include "documents/document.h"
#include "editor/display_charset.h"
#include "editor/editor.h"

class QLabel;
class QStatusBar;
class QTimer;
class QVBoxLayout;

namespace qv {

class EditorView;
class Highlighter;
class TRuler;
class TEmphasizeWordPlugin;
struct TEditorCfg;

// A child window of the main window holding one document: renders the document's caption,
// status texts and editor, and forwards the user's keys, mouse and drops to it.
class TfmEditor : public QWidget {
  Q_OBJECT
 public:
  explicit TfmEditor(DocumentServices& services, QWidget* parent = nullptr);
  ~TfmEditor() override;

  Document& document() { return *document_; }
  Editor& editor() { return document_->editor(); }
  EditorView& view() { return *view_; }

  void ApplyEditorConfig(const TEditorCfg& cfg);
  // The highlighter table's object for this document (owned by the table); nullptr for none.
  void SetHighlighter(Highlighter* h);
  Highlighter* highlighter() const { return highlighter_; }

  QString Caption() const;
  QString TabText() const;
  // The eight status panel texts, in panel order.
  QStringList StatusTexts() const;
  // false while maximized: the own bar hides and the main window shows the texts.
  void setStatusBarVisible(bool own);
  bool statusBarVisible() const { return ownStatusBar_; }

  // Display state of the view.
  void SetColorCurrentLine(bool on);
  void SetOverrideTxtFgColor(bool on);
  void SetOEMView(bool on);
  // The View menu's choice of how bytes are shown (kept aside while the OEM view is on).
  void SetDisplayCharset(DisplayCharset cs);
  void SetWordwrap(bool on);
  void SetRulerVsbl(bool on);
  bool RulerVsbl() const { return ruler_ != nullptr; }
  TRuler* ruler() const { return ruler_; }
  void SetEmphasizeWord(bool on);
  void SetEmphasizedWord(const QString& word);

  void HelpOnKeyword();
  void OpenInShell();
  // Puts the caret at (column + 1, line + 1) and shows it.
  void SetCaret(int column0, int line0);
  void CenterCaretLine();

 signals:
  void captionChanged();
  void statusChanged();
  void activated();
  void closed();
  void filesDropped(QStringList files);
  // The right margin was dragged to a new column: every document takes it.
  void rightEdgeDragged(int column);

 protected:
  void closeEvent(QCloseEvent* e) override;
  bool eventFilter(QObject* watched, QEvent* e) override;
  void focusInEvent(QFocusEvent* e) override;
  void changeEvent(QEvent* e) override;
  void wheelEvent(QWheelEvent* e) override;

 private:
  void refreshState();
  void refreshStatusBar();
  void relayoutRuler();
  bool handleKey(QKeyEvent* e);
  void updateRulerCaret();
  void applyViewSettings();

  std::unique_ptr<Document> document_;
  EditorView* view_ = nullptr;
  TRuler* ruler_ = nullptr;
  QVBoxLayout* layout_ = nullptr;
  QStatusBar* statusBar_ = nullptr;
  std::array<QLabel*, kStatusPanelCount> panels_{};
  QTimer* blinkTimer_ = nullptr;
  Highlighter* highlighter_ = nullptr;
  std::unique_ptr<TEmphasizeWordPlugin> emphasis_;
  DisplayCharset charsetBeforeOem_ = DisplayCharset::Utf8;
  int appliedSpacing_ = -1;
  bool ownStatusBar_ = true;
  QString lastCaption_;
};

}  // namespace qv
