// Icons by file type from the icon theme, drawn fallbacks for the fixed ones.
#include "documents/ui/file_icon_pool.h"

#include <QFileInfo>
#include <QMimeDatabase>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <functional>

namespace qv {

namespace {

// A page with a folded corner; the mark drawn on it tells new from missing.
QPixmap Page(int size, const QColor& paper, const QColor& mark, bool cross) {
  QPixmap pm(size, size);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(size / 16.0, size / 16.0);
  QPainterPath page;
  page.moveTo(3, 1);
  page.lineTo(10, 1);
  page.lineTo(13, 4);
  page.lineTo(13, 15);
  page.lineTo(3, 15);
  page.closeSubpath();
  p.setPen(QPen(QColor(0x55, 0x55, 0x55), 0.8));
  p.setBrush(paper);
  p.drawPath(page);
  p.drawLine(QPointF(10, 1), QPointF(10, 4));
  p.drawLine(QPointF(10, 4), QPointF(13, 4));
  p.setPen(QPen(mark, 1.6, Qt::SolidLine, Qt::RoundCap));
  if (cross) {
    p.drawLine(QPointF(5.5, 7.5), QPointF(10.5, 12.5));
    p.drawLine(QPointF(10.5, 7.5), QPointF(5.5, 12.5));
  } else {
    p.drawLine(QPointF(8, 7), QPointF(8, 13));
    p.drawLine(QPointF(5, 10), QPointF(11, 10));
  }
  return pm;
}

QIcon Scaled(const std::function<QPixmap(int)>& draw) {
  QIcon icon;
  for (int size : {16, 32, 48}) icon.addPixmap(draw(size));
  return icon;
}

}  // namespace

QIcon TFileIconPool::NewFileIcon() {
  return Scaled([](int s) { return Page(s, Qt::white, QColor(0x2e, 0x8b, 0x57), false); });
}

QIcon TFileIconPool::MissingFileIcon() {
  return Scaled([](int s) { return Page(s, QColor(0xee, 0xee, 0xee), QColor(0xc0, 0x30, 0x30), true); });
}

QIcon TFileIconPool::PlainFileIcon() {
  return Scaled([](int s) { return Page(s, Qt::white, Qt::transparent, false); });
}

QIcon TFileIconPool::FolderIcon() {
  const QIcon themed = QIcon::fromTheme("folder");
  if (!themed.isNull()) return themed;
  return Scaled([](int size) {
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 16.0, size / 16.0);
    p.setPen(QPen(QColor(0x8a, 0x6d, 0x1e), 0.8));
    p.setBrush(QColor(0xf0, 0xc8, 0x50));
    p.drawRoundedRect(QRectF(1.5, 4.5, 13, 9.5), 1, 1);
    p.drawRect(QRectF(1.5, 2.5, 5, 2));
    return pm;
  });
}

TFileIconPool::TFileIconPool() {
  images_.reserve(32);
  images_.push_back(NewFileIcon());
  images_.push_back(MissingFileIcon());
  images_.push_back(FolderIcon());
}

int TFileIconPool::IconIndex(const QString& fileName) {
  if (fileName.isEmpty()) return -1;
  const QFileInfo info(fileName);
  if (info.isDir()) return kFolder;
  if (!info.exists()) return kFileMissing;
  const QString ext = info.suffix().toUpper();
  if (auto it = byExtension_.find(ext); it != byExtension_.end()) return it->second;
  const QMimeType mime = QMimeDatabase().mimeTypeForFile(info);
  QIcon icon = QIcon::fromTheme(mime.iconName());
  if (icon.isNull()) icon = QIcon::fromTheme(mime.genericIconName());
  // A desktop without an icon theme still gets a plain page, not the missing-file mark.
  if (icon.isNull()) icon = PlainFileIcon();
  if (images_.size() == images_.capacity()) images_.reserve(images_.size() + 32);
  images_.push_back(icon);
  const int index = static_cast<int>(images_.size()) - 1;
  byExtension_[ext] = index;
  return index;
}

}  // namespace qv
