#include "store/FreeSpaceCheck.h"

#include "platform/FileSystem.h"

namespace zorvik::store {

using core::MessageNumber;

FreeSpaceCheck::FreeSpaceCheck(core::Messages& messages, std::function<void()> endProgram, SpaceProbe probe)
    : messages_(&messages), endProgram_(std::move(endProgram)), probe_(std::move(probe)) {
  if (!probe_) probe_ = [](std::string_view path) { return platform::freeSpace(path); };
}

bool FreeSpaceCheck::hasRoom(std::string_view path) const {
  // A file about to be created does not exist yet; its directory does.
  auto free = probe_(path);
  if (!free) free = probe_(platform::directoryOf(path));
  return !free || *free >= kRequiredBytes;
}

bool FreeSpaceCheck::operator()(std::string_view path) const {
  while (!hasRoom(path)) {
    if (!messages_->question(MessageNumber::LowDiskSpace)) {
      if (endProgram_) endProgram_();
      return false;
    }
  }
  return true;
}

}  // namespace zorvik::store
