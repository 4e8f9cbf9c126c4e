// The document window: lays out the ruler, the editor view and the status bar, and passes the
// user's actions to the document.
#include "documents/ui/editor_window.h"

#include <QCloseEvent>
#include <QDesktopServices>
#include <QKeyEvent>
#include <QLabel>
#include <QProcess>
#include <QStatusBar>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

#include "config/ui/translate_widget.h"
#include "config/editor_cfg.h"
#include "documents/ui/emphasize_word.h"
#include "documents/ui/ruler.h"
#include "editor/highlighter.h"
#include "editor/ui/editor_view.h"

namespace qv {

namespace {

constexpr std::array<int, kStatusPanelCount> kPanelWidths = {100, 80, 100, 90, 90, 65, 150, 50};

std::uint16_t KeyOf(int qtKey) {
  switch (qtKey) {
    case Qt::Key_Backspace: return vk::Back;
    case Qt::Key_Return:
    case Qt::Key_Enter: return vk::Return;
    case Qt::Key_Insert: return vk::Insert;
    case Qt::Key_End: return vk::End;
    case Qt::Key_F1: return vk::F1;
    default: return 0;
  }
}

std::uint8_t ShiftOf(Qt::KeyboardModifiers m) {
  std::uint8_t s = ssNone;
  if (m & Qt::ShiftModifier) s |= ssShift;
  if (m & Qt::ControlModifier) s |= ssCtrl;
  if (m & Qt::AltModifier) s |= ssAlt;
  return s;
}

}  // namespace

TfmEditor::TfmEditor(DocumentServices& services, QWidget* parent)
    : QWidget(parent), document_(std::make_unique<Document>(services)) {
  setObjectName("fmEditor");
  setAttribute(Qt::WA_DeleteOnClose, false);
  layout_ = new QVBoxLayout(this);
  layout_->setContentsMargins(0, 0, 0, 0);
  layout_->setSpacing(0);

  view_ = new EditorView(document_->editor(), this);
  view_->setObjectName("Editor");
  view_->installEventFilter(this);
  view_->setGutterLineSelect([this](int line) { document_->SelectGutterLine(line); });
  layout_->addWidget(view_, 1);

  statusBar_ = new QStatusBar(this);
  statusBar_->setObjectName("StatusBar");
  statusBar_->setSizeGripEnabled(false);
  for (int i = 0; i < kStatusPanelCount; ++i) {
    auto* panel = new QLabel(statusBar_);
    panels_[static_cast<size_t>(i)] = panel;
    // The last panel holds the selection text ("12 chars selected, 3 lines"), far wider than
    // its 50 pixels: it takes whatever room the window has left.
    if (i + 1 < kStatusPanelCount) {
      panel->setFixedWidth(kPanelWidths[static_cast<size_t>(i)]);
      statusBar_->addWidget(panel);
    } else {
      panel->setMinimumWidth(kPanelWidths[static_cast<size_t>(i)]);
      statusBar_->addWidget(panel, 1);
    }
  }
  layout_->addWidget(statusBar_);

  blinkTimer_ = new QTimer(this);
  blinkTimer_->setInterval(500);
  connect(blinkTimer_, &QTimer::timeout, this, [this] { document_->BlinkRecording(); });

  document_->setStateListener([this] { refreshState(); });
  connect(view_, &EditorView::filesDropped, this, &TfmEditor::filesDropped);
  connect(view_, &EditorView::viewChanged, this, [this] { relayoutRuler(); });
  connect(view_, &EditorView::rightEdgeDragged, this, [this](int column) {
    if (auto edge = Document::RightEdgeFromDrag(column)) {
      view_->setRightEdge(*edge);
      emit rightEdgeDragged(*edge);
    }
  });
  setFocusProxy(view_);
  ApplyEditorConfig(EditorCfg());  // the shared record, as every new document gets it
  TranslateWidget(this, "fmEditor");
  refreshState();
}

TfmEditor::~TfmEditor() {
  // The view and its plug-ins refer to the document's editor: they go first.
  emphasis_.reset();
  document_->setStateListener(nullptr);
  delete view_;
  view_ = nullptr;
}

void TfmEditor::ApplyEditorConfig(const TEditorCfg& cfg) {
  document_->ApplyEditorConfig(cfg);
  applyViewSettings();
  SetRulerVsbl(cfg.RulerVsbl);
}

void TfmEditor::applyViewSettings() {
  const DocumentViewSettings& s = document_->ViewSettings();
  if (s.extraLineSpacing != appliedSpacing_) {
    view_->setExtraLineSpacing(s.extraLineSpacing);
    appliedSpacing_ = s.extraLineSpacing;
  }
  view_->setCaretShapes(s.insertCaretShape, s.overwriteCaretShape);
  view_->setEditorFont(document_->OEMView() ? s.oemFont : s.editorFont);
  view_->setGutterFont(s.gutterFont);
  view_->setRightEdge(s.rightEdge);
  view_->setRightEdgeDraggable(s.rightEdge > 0);
  view_->setGutter(s.gutterWidth, s.lineNumbers);
  view_->setGutterLineSelectCursor(s.lineSelectCursor);
  view_->setWordwrapGlyph(s.wordwrapGlyph);
  view_->setHideMouseWhenTyping(s.hideMouseWhenTyping);
  view_->setCurrentLineColoring(document_->ColorCurrentLine(), document_->OverrideTxtFgColor());
  view_->viewport()->update();
  relayoutRuler();
}

void TfmEditor::SetHighlighter(Highlighter* h) {
  highlighter_ = h;
  view_->setHighlighter(h);
}

QString TfmEditor::Caption() const { return QString::fromStdString(document_->Caption()); }
QString TfmEditor::TabText() const { return QString::fromStdString(document_->TabText()); }

QStringList TfmEditor::StatusTexts() const {
  QStringList out;
  for (const std::string& t : document_->StatusTexts()) out << QString::fromStdString(t);
  return out;
}

void TfmEditor::setStatusBarVisible(bool own) {
  ownStatusBar_ = own;
  statusBar_->setVisible(own);
  emit statusChanged();
}

void TfmEditor::refreshState() {
  if (!view_) return;
  refreshStatusBar();
  const QString caption = Caption();
  if (caption != lastCaption_) {
    lastCaption_ = caption;
    setWindowTitle(caption);
    emit captionChanged();
  }
  if (document_->MacroIsRecording() != blinkTimer_->isActive()) {
    if (document_->MacroIsRecording()) blinkTimer_->start();
    else blinkTimer_->stop();
  }
  view_->setCurrentLineColoring(document_->ColorCurrentLine(), document_->OverrideTxtFgColor());
  updateRulerCaret();
  emit statusChanged();
}

void TfmEditor::refreshStatusBar() {
  const auto texts = document_->StatusTexts();
  for (int i = 0; i < kStatusPanelCount; ++i) {
    QLabel* label = panels_[static_cast<size_t>(i)];
    const QString text = QString::fromStdString(texts[static_cast<size_t>(i)]);
    if (label->text() != text) label->setText(text);
  }
}

void TfmEditor::SetColorCurrentLine(bool on) { document_->SetColorCurrentLine(on); }
void TfmEditor::SetOverrideTxtFgColor(bool on) { document_->SetOverrideTxtFgColor(on); }

void TfmEditor::SetOEMView(bool on) {
  if (on == document_->OEMView()) return;
  if (on) charsetBeforeOem_ = view_->charset();
  document_->SetOEMView(on);
  view_->setCharset(on ? DisplayCharset::Oem437 : charsetBeforeOem_);
  applyViewSettings();
}

void TfmEditor::SetDisplayCharset(DisplayCharset cs) {
  if (document_->OEMView()) {
    charsetBeforeOem_ = cs;
    return;
  }
  view_->setCharset(cs);
}

void TfmEditor::SetWordwrap(bool on) {
  document_->SetWordwrap(on);
  view_->setWordWrap(on);
  relayoutRuler();
}

void TfmEditor::SetRulerVsbl(bool on) {
  document_->SetRulerVsbl(on);
  if (on && !ruler_) {
    ruler_ = new TRuler(this);
    ruler_->SetTextArea(view_->viewport());
    layout_->insertWidget(0, ruler_);
  } else if (!on && ruler_) {
    delete ruler_;
    ruler_ = nullptr;
  }
  relayoutRuler();
}

void TfmEditor::relayoutRuler() {
  if (!ruler_ || !view_) return;
  ruler_->SetCharWidth(view_->charWidth());
  ruler_->SetLeftIndent(view_->viewport()->x() + view_->textLeft());
  ruler_->SetLeftOffset(document_->Wordwrap() ? 0 : document_->editor().leftChar() - 1);
  updateRulerCaret();
}

void TfmEditor::updateRulerCaret() {
  if (!ruler_ || !view_) return;
  const BufferCoord caret = document_->editor().caretXY();
  const QPoint pt = view_->pointOf(caret);
  // The caret's display column, counted in cells from the first visible one.
  const int cells = (pt.x() - view_->textLeft()) / std::max(1, view_->charWidth());
  ruler_->SetLeftOffset(document_->Wordwrap() ? 0 : document_->editor().leftChar() - 1);
  ruler_->SetCaretColumn(cells + ruler_->LeftOffset() + 1);
}

void TfmEditor::SetEmphasizeWord(bool on) {
  document_->SetEmphasizeWord(on);
  if (on && !emphasis_) {
    emphasis_ = std::make_unique<TEmphasizeWordPlugin>(*view_);
    emphasis_->SetWord(document_->EmphasizedWord());
  } else if (!on) {
    emphasis_.reset();
  }
  view_->viewport()->update();
}

void TfmEditor::SetEmphasizedWord(const QString& word) {
  document_->SetEmphasizedWord(word.toStdString());
  if (emphasis_) emphasis_->SetWord(word.toStdString());
}

void TfmEditor::HelpOnKeyword() {
  const auto request = document_->HelpOnKeyword();
  if (!request) return;
  // No help viewer does keyword lookup here: the help file opens and the keyword goes with it.
  QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(request->file)));
}

void TfmEditor::OpenInShell() {
  if (auto file = document_->PrepareOpenInShell())
    QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(*file)));
}

void TfmEditor::SetCaret(int column0, int line0) {
  document_->SetCaret(column0, line0);
  view_->ensureCaretVisible();
}

void TfmEditor::CenterCaretLine() { view_->centerCaretLine(); }

bool TfmEditor::handleKey(QKeyEvent* e) {
  const std::uint16_t key = KeyOf(e->key());
  if (key == 0) return false;
  const std::uint8_t shift = ShiftOf(e->modifiers());
  if (key == vk::F1 && shift == ssNone) {
    HelpOnKeyword();
    return true;
  }
  if (!document_->HandleKey(key, shift)) return false;
  view_->ensureCaretVisible();
  return true;
}

bool TfmEditor::eventFilter(QObject* watched, QEvent* e) {
  if (watched == view_) {
    if (e->type() == QEvent::KeyPress && handleKey(static_cast<QKeyEvent*>(e))) return true;
    if (e->type() == QEvent::FocusIn) emit activated();
  }
  return QWidget::eventFilter(watched, e);
}

void TfmEditor::focusInEvent(QFocusEvent* e) {
  emit activated();
  QWidget::focusInEvent(e);
}

void TfmEditor::changeEvent(QEvent* e) {
  if (e->type() == QEvent::ActivationChange && isActiveWindow()) emit activated();
  QWidget::changeEvent(e);
}

void TfmEditor::wheelEvent(QWheelEvent* e) { e->accept(); }  // the view scrolls itself

void TfmEditor::closeEvent(QCloseEvent* e) {
  if (!document_->CloseQuery()) {
    e->ignore();
    return;
  }
  e->accept();
  emit closed();
}

}  // namespace qv
