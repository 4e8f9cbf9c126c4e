// A file entry of the project and panel lists: name, icon and whether it is a folder.
#pragma once
#include <filesystem>
#include <functional>
#include <string>
#include <system_error>

namespace qv {

class TFileData {
 public:
  // Finds the icon index of a name in the file icon pool; empty gives index -1.
  using IconLookup = std::function<int(const std::string& fileName)>;

  explicit TFileData(std::string fileName, IconLookup icons = {}) : icons_(std::move(icons)) {
    std::error_code ec;
    isDirectory_ = std::filesystem::is_directory(fileName, ec);
    SetFileName(std::move(fileName));
  }

  const std::string& FileName() const { return fileName_; }
  // A new name takes its icon again; the folder flag stays as read at creation.
  void SetFileName(std::string fileName) {
    fileName_ = std::move(fileName);
    iconIndex_ = icons_ ? icons_(fileName_) : -1;
  }
  int IconIndex() const { return iconIndex_; }
  bool IsDirectory() const { return isDirectory_; }

 private:
  IconLookup icons_;
  std::string fileName_;
  int iconIndex_ = -1;
  bool isDirectory_ = false;
};

}  // namespace qv
