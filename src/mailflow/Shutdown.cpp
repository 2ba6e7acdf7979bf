#include "mailflow/Shutdown.h"

#include <string>
#include <string_view>

#include "core/SjisText.h"
#include "mailflow/Document.h"
#include "mailflow/StoreLock.h"
#include "platform/FileSystem.h"
#include "store/TrashOperations.h"
#include "store/TrayName.h"

namespace zorvik::mailflow {
namespace {

bool endsWithIgnoringCase(std::string_view name, std::string_view ending) {
  return name.size() >= ending.size() &&
         core::equalsIgnoringAsciiCase(name.substr(name.size() - ending.size()), ending);
}

}  // namespace

void Shutdown::run(const Document& document) {
  if (const auto lock = StoreLock::tryTake(document, StoreWork::Compact))
    store::emptyTrashAtExit(document.store(), document.settings(), document.messages(), false);
  clearWorkFolder(document);
}

void Shutdown::clearWorkFolder(const Document& document) {
  const std::string work = store::TrayName::path(
      document.store(), document.settings().workingDirectories().workDirectory, store::filetype::kPathOnly);
  for (const platform::DirectoryEntry& entry : platform::listDirectory(work)) {
    if (entry.isDirectory) continue;
    if (endsWithIgnoringCase(entry.name, ".tmp") || endsWithIgnoringCase(entry.name, ".txt"))
      platform::removeFile(platform::joinPath(work, entry.name));
  }
  const std::string edits = platform::joinPath(work, "ed");
  for (const platform::DirectoryEntry& entry : platform::listDirectory(edits))
    if (!entry.isDirectory) platform::removeFile(platform::joinPath(edits, entry.name));
}

}  // namespace zorvik::mailflow
