// The row of file tabs above the document windows: one tab per document, wrapped into
// several rows or scrolled in one.
#pragma once
#include <QIcon>
#include <QPoint>
#include <QString>
#include <QWidget>

#include <vector>

class QToolButton;

namespace qv {

// A tab row (objectName "tcFileTabs") that can wrap its tabs into several rows, which a
// plain tab bar cannot. Captions use the "&&" form for a literal "&". The row never switches
// tabs behind the owner's back: clicks are reported and the owner decides.
class FileTabRow : public QWidget {
  Q_OBJECT
 public:
  explicit FileTabRow(QWidget* parent = nullptr);

  int count() const { return static_cast<int>(tabs_.size()); }
  // Inserts a tab (index clamped to 0..count) and returns its index; the current tab stays.
  int insertTab(int index, const QString& caption);
  void removeTab(int index);
  // Moves a tab as a drag does and reports it with tabMoved.
  void moveTab(int from, int to);

  int currentIndex() const { return current_; }
  // Selects a tab without reporting it (the owner asked for it).
  void setCurrentIndex(int index);

  QString tabText(int index) const;
  void setTabText(int index, const QString& caption);
  QString tabToolTip(int index) const;
  void setTabToolTip(int index, const QString& tip);
  QIcon tabIcon(int index) const;
  void setTabIcon(int index, const QIcon& icon);

  // Several rows when the tabs do not fit (on), or one row that scrolls (off).
  bool multiline() const { return multiline_; }
  void setMultiline(bool on);
  int rowCount() const { return rows_; }
  // Lays the tabs out for the current width and sets the row's height from the row count.
  void relayout();

  int tabAt(const QPoint& pos) const;
  QRect tabRect(int index) const;

 signals:
  // The user clicked a tab other than the current one (or dragged one).
  void tabClicked(int index);
  void tabMoved(int from, int to);
  void shiftClicked(int index);
  void contextMenuRequested(int index, const QPoint& globalPos);

 protected:
  void paintEvent(QPaintEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void wheelEvent(QWheelEvent* e) override;
  bool event(QEvent* e) override;

 private:
  struct Tab {
    QString caption;
    QString tip;
    QIcon icon;
    QRect rect;  // in content coordinates (before scrolling)
  };

  int tabWidth(const Tab& tab) const;
  int rowHeight() const;
  void scrollBy(int steps);
  void ensureVisible(int index);

  std::vector<Tab> tabs_;
  int current_ = -1;
  bool multiline_ = true;
  int rows_ = 0;
  int scroll_ = 0;        // horizontal offset of the single row
  int contentWidth_ = 0;  // width of the single row's tabs
  int pressed_ = -1;      // tab under a left press that may become a drag
  QPoint pressPos_;
  bool dragging_ = false;
  QToolButton* left_ = nullptr;
  QToolButton* right_ = nullptr;
};

}  // namespace qv
