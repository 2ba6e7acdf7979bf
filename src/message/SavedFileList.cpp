#include "message/SavedFileList.h"

#include "platform/FileSystem.h"

namespace zorvik::message {

void SavedFileList::deleteAll() {
  for (const auto& path : paths_) platform::removeFile(path);
  paths_.clear();
}

}  // namespace zorvik::message
