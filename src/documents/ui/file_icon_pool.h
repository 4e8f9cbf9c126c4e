// Small icons for file tabs and lists: one per extension from the desktop's icon theme, plus the
// fixed new-file, missing-file and folder icons.
#pragma once
#include <QIcon>
#include <QString>

#include <map>
#include <vector>

namespace qv {

class TFileIconPool {
 public:
  TFileIconPool();

  static constexpr int kNewFile = 0;
  static constexpr int kFileMissing = 1;
  static constexpr int kFolder = 2;

  // -1 for an empty name, 2 for a folder, 1 for a missing file, else the extension's icon
  // (the first file seen with an extension gives the icon for all of them).
  int IconIndex(const QString& fileName);
  int NewFileIndex() const { return kNewFile; }
  const QIcon& Icon(int index) const { return images_.at(static_cast<size_t>(index)); }
  int Count() const { return static_cast<int>(images_.size()); }

  // The program's own drawings, crisp at any scale.
  static QIcon NewFileIcon();
  static QIcon MissingFileIcon();
  static QIcon PlainFileIcon();  // an existing file the desktop has no icon for
  static QIcon FolderIcon();

 private:
  std::vector<QIcon> images_;
  std::map<QString, int> byExtension_;  // upper-cased extension -> image index
};

}  // namespace qv
