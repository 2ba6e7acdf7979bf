#include "message/SavedFileList.h"

#include "platform/FileSystem.h"

namespace zorvik::message {

SavedFileList& SavedFileList::instance() {
  static SavedFileList list;
  return list;
}

void SavedFileList::add(std::string_view path) {
  const std::lock_guard lock(mutex_);
  paths_.emplace_back(path);
}

void SavedFileList::deleteAll() {
  std::vector<std::string> doomed;
  {
    const std::lock_guard lock(mutex_);
    doomed.swap(paths_);
  }
  for (const auto& path : doomed) platform::removeFile(path);
}

void SavedFileList::clear() {
  const std::lock_guard lock(mutex_);
  paths_.clear();
}

std::vector<std::string> SavedFileList::paths() const {
  const std::lock_guard lock(mutex_);
  return paths_;
}

}  // namespace zorvik::message
