// The file tab row: lays the tabs out in wrapped rows or one scrolling row, draws them with
// the style's tab shapes, and reports clicks, drags and right-clicks to its owner.
#include "shell/ui/file_tab_row.h"

#include <QApplication>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionTab>
#include <QTabBar>
#include <QToolButton>
#include <QToolTip>
#include <QWheelEvent>

#include <algorithm>

#include "shell/main_window_state.h"

namespace qv {

namespace {

constexpr int kIconSize = 16;
constexpr int kPadding = 4;
constexpr int kMinTabWidth = 40;
constexpr int kArrowWidth = 16;
constexpr int kScrollStep = 40;
constexpr int kTop = 2;

// The text a caption shows: "&&" is one "&", a lone "&" marks nothing here.
QString ShownText(const QString& caption) {
  QString out;
  out.reserve(caption.size());
  for (qsizetype i = 0; i < caption.size(); ++i) {
    if (caption[i] == '&') {
      if (i + 1 < caption.size() && caption[i + 1] == '&') {
        out += '&';
        ++i;
      }
      continue;
    }
    out += caption[i];
  }
  return out;
}

}  // namespace

FileTabRow::FileTabRow(QWidget* parent) : QWidget(parent) {
  setObjectName("tcFileTabs");
  setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
  setMouseTracking(false);
  left_ = new QToolButton(this);
  left_->setArrowType(Qt::LeftArrow);
  right_ = new QToolButton(this);
  right_->setArrowType(Qt::RightArrow);
  for (QToolButton* b : {left_, right_}) {
    b->setAutoRepeat(true);
    b->setFocusPolicy(Qt::NoFocus);
    b->hide();
  }
  connect(left_, &QToolButton::clicked, this, [this] { scrollBy(-1); });
  connect(right_, &QToolButton::clicked, this, [this] { scrollBy(1); });
  relayout();
}

int FileTabRow::insertTab(int index, const QString& caption) {
  index = std::clamp(index, 0, count());
  tabs_.insert(tabs_.begin() + index, Tab{caption, {}, {}, {}});
  if (current_ >= index) ++current_;
  relayout();
  return index;
}

void FileTabRow::removeTab(int index) {
  if (index < 0 || index >= count()) return;
  tabs_.erase(tabs_.begin() + index);
  if (current_ > index || current_ >= count()) --current_;
  if (pressed_ == index) pressed_ = -1;
  relayout();
}

void FileTabRow::moveTab(int from, int to) {
  if (from < 0 || from >= count() || to < 0 || to >= count() || from == to) return;
  Tab moved = std::move(tabs_[static_cast<std::size_t>(from)]);
  tabs_.erase(tabs_.begin() + from);
  tabs_.insert(tabs_.begin() + to, std::move(moved));
  if (current_ == from)
    current_ = to;
  else if (from < current_ && current_ <= to)
    --current_;
  else if (to <= current_ && current_ < from)
    ++current_;
  relayout();
  emit tabMoved(from, to);
}

void FileTabRow::setCurrentIndex(int index) {
  if (index < -1 || index >= count()) return;
  current_ = index;
  ensureVisible(index);
  update();
}

QString FileTabRow::tabText(int index) const {
  return index >= 0 && index < count() ? tabs_[static_cast<std::size_t>(index)].caption : QString();
}

void FileTabRow::setTabText(int index, const QString& caption) {
  if (index < 0 || index >= count()) return;
  tabs_[static_cast<std::size_t>(index)].caption = caption;
  relayout();
}

QString FileTabRow::tabToolTip(int index) const {
  return index >= 0 && index < count() ? tabs_[static_cast<std::size_t>(index)].tip : QString();
}

void FileTabRow::setTabToolTip(int index, const QString& tip) {
  if (index >= 0 && index < count()) tabs_[static_cast<std::size_t>(index)].tip = tip;
}

QIcon FileTabRow::tabIcon(int index) const {
  return index >= 0 && index < count() ? tabs_[static_cast<std::size_t>(index)].icon : QIcon();
}

void FileTabRow::setTabIcon(int index, const QIcon& icon) {
  if (index < 0 || index >= count()) return;
  tabs_[static_cast<std::size_t>(index)].icon = icon;
  relayout();
}

void FileTabRow::setMultiline(bool on) {
  if (multiline_ == on) return;
  multiline_ = on;
  scroll_ = 0;
  relayout();
}

int FileTabRow::tabWidth(const Tab& tab) const {
  // As wide as the style wants for the caption and icon, so nothing is cut off.
  QStyleOptionTab opt;
  opt.initFrom(this);
  opt.shape = QTabBar::RoundedNorth;
  opt.text = tab.caption;
  opt.icon = tab.icon;
  opt.iconSize = QSize(kIconSize, kIconSize);
  int w = fontMetrics().horizontalAdvance(ShownText(tab.caption)) + kPadding +
          style()->pixelMetric(QStyle::PM_TabBarTabHSpace, &opt, this);
  if (!tab.icon.isNull()) w += kIconSize + 4;
  w = style()->sizeFromContents(QStyle::CT_TabBarTab, &opt, QSize(w, rowHeight()), this).width();
  return std::max(w, kMinTabWidth);
}

int FileTabRow::rowHeight() const { return multiline_ ? 19 : 21; }

void FileTabRow::relayout() {
  std::vector<int> widths;
  widths.reserve(tabs_.size());
  for (const Tab& t : tabs_) widths.push_back(tabWidth(t));
  const int available = std::max(1, width() - 4);
  const std::vector<int> rows = multiline_ ? WrapTabRows(widths, available) : std::vector<int>(widths.size(), 0);
  rows_ = rows.empty() ? 0 : rows.back() + 1;
  int x = 0;
  int row = 0;
  for (std::size_t i = 0; i < tabs_.size(); ++i) {
    if (rows[i] != row) {
      row = rows[i];
      x = 0;
    }
    tabs_[i].rect = QRect(2 + x, kTop + row * rowHeight(), widths[i], rowHeight());
    x += widths[i];
  }
  contentWidth_ = multiline_ || tabs_.empty() ? 0 : x + 4;
  const int height = TabRowHeight(rows_, multiline_);
  if (maximumHeight() != height || minimumHeight() != height) setFixedHeight(height);

  const bool arrows = !multiline_ && contentWidth_ > width();
  left_->setVisible(arrows);
  right_->setVisible(arrows);
  if (arrows) {
    left_->setGeometry(width() - 2 * kArrowWidth, kTop, kArrowWidth, rowHeight());
    right_->setGeometry(width() - kArrowWidth, kTop, kArrowWidth, rowHeight());
  }
  scrollBy(0);
  ensureVisible(current_);
  update();
}

void FileTabRow::scrollBy(int steps) {
  if (multiline_) {
    scroll_ = 0;
    return;
  }
  const int viewport = width() - (left_->isVisible() ? 2 * kArrowWidth : 0);
  const int maxScroll = std::max(0, contentWidth_ - viewport);
  scroll_ = std::clamp(scroll_ + steps * kScrollStep, 0, maxScroll);
  update();
}

void FileTabRow::ensureVisible(int index) {
  if (multiline_ || index < 0 || index >= count()) return;
  const QRect r = tabs_[static_cast<std::size_t>(index)].rect;
  const int viewport = width() - (left_->isVisible() ? 2 * kArrowWidth : 0);
  if (r.left() - scroll_ < 0) scroll_ = r.left() - 2;
  if (r.right() - scroll_ > viewport) scroll_ = r.right() - viewport + 2;
  scroll_ = std::max(0, scroll_);
}

int FileTabRow::tabAt(const QPoint& pos) const {
  if (!multiline_ && left_->isVisible() && pos.x() >= width() - 2 * kArrowWidth) return -1;
  for (int i = 0; i < count(); ++i)
    if (tabRect(i).contains(pos)) return i;
  return -1;
}

QRect FileTabRow::tabRect(int index) const {
  if (index < 0 || index >= count()) return {};
  return tabs_[static_cast<std::size_t>(index)].rect.translated(-scroll_, 0);
}

void FileTabRow::paintEvent(QPaintEvent*) {
  QPainter p(this);
  if (!multiline_ && left_->isVisible()) p.setClipRect(0, 0, width() - 2 * kArrowWidth, height());
  auto draw = [&](int i) {
    const Tab& t = tabs_[static_cast<std::size_t>(i)];
    QStyleOptionTab opt;
    opt.initFrom(this);
    opt.shape = QTabBar::RoundedNorth;
    opt.rect = tabRect(i);
    opt.text = t.caption;
    opt.icon = t.icon;
    opt.iconSize = QSize(kIconSize, kIconSize);
    opt.row = 0;
    opt.position = QStyleOptionTab::Middle;
    if (i == current_) opt.state |= QStyle::State_Selected;
    else opt.state &= ~QStyle::State_Selected;
    if (!opt.rect.contains(mapFromGlobal(QCursor::pos()))) opt.state &= ~QStyle::State_MouseOver;
    style()->drawControl(QStyle::CE_TabBarTab, &opt, &p, this);
  };
  for (int i = 0; i < count(); ++i)
    if (i != current_) draw(i);
  if (current_ >= 0) draw(current_);  // the selected tab overlaps its neighbours
}

void FileTabRow::resizeEvent(QResizeEvent* e) {
  QWidget::resizeEvent(e);
  relayout();
}

void FileTabRow::mousePressEvent(QMouseEvent* e) {
  const int index = tabAt(e->position().toPoint());
  if (index < 0) return;
  if (e->button() == Qt::RightButton) {
    emit contextMenuRequested(index, e->globalPosition().toPoint());
    return;
  }
  if (e->button() != Qt::LeftButton) return;
  if (e->modifiers() & Qt::ShiftModifier) {
    // Shift+click never starts a drag; the owner may close the tab.
    pressed_ = -1;
    emit shiftClicked(index);
    return;
  }
  pressed_ = index;
  pressPos_ = e->position().toPoint();
  dragging_ = false;
  if (index != current_) emit tabClicked(index);
}

void FileTabRow::mouseMoveEvent(QMouseEvent* e) {
  if (pressed_ < 0 || !(e->buttons() & Qt::LeftButton) || (e->modifiers() & Qt::ShiftModifier)) return;
  const QPoint pos = e->position().toPoint();
  if (!dragging_ && (pos - pressPos_).manhattanLength() < QApplication::startDragDistance()) return;
  dragging_ = true;
  const int target = tabAt(pos);
  if (target >= 0 && target != pressed_) {
    const int from = pressed_;
    pressed_ = target;
    moveTab(from, target);
  }
}

void FileTabRow::mouseReleaseEvent(QMouseEvent*) {
  pressed_ = -1;
  dragging_ = false;
}

void FileTabRow::wheelEvent(QWheelEvent* e) {
  if (multiline_) return;
  const int delta = e->angleDelta().y() != 0 ? e->angleDelta().y() : e->angleDelta().x();
  if (delta != 0) scrollBy(delta > 0 ? -1 : 1);
}

bool FileTabRow::event(QEvent* e) {
  if (e->type() == QEvent::ToolTip) {
    auto* he = static_cast<QHelpEvent*>(e);
    const int index = tabAt(he->pos());
    if (index >= 0 && !tabToolTip(index).isEmpty())
      QToolTip::showText(he->globalPos(), tabToolTip(index), this, tabRect(index));
    else
      QToolTip::hideText();
    return true;
  }
  return QWidget::event(e);
}

}  // namespace qv
