#include "store/AttachmentCleanup.h"

#include <algorithm>

#include "platform/FileSystem.h"
#include "platform/LineReader.h"
#include "platform/TextEncoding.h"
#include "store/LinkMaintenance.h"
#include "store/RecordFlags.h"
#include "store/TrayAttachments.h"
#include "store/TrayFile.h"

namespace zorvik::store {

std::string AttachmentCleanup::root() const { return platform::joinPath(store_.topCabinetPath(), ".inc"); }

std::set<std::string> AttachmentCleanup::referencedBy(const std::string& tray) const {
  std::set<std::string> folders;
  collect(tray, folders);
  return folders;
}

bool AttachmentCleanup::collect(const std::string& tray, std::set<std::string>& folders) const {
  const TrayFile file(store_, tray);
  std::vector<std::uint32_t> withAttachments;
  {
    auto reader = file.reader();
    if (!reader) return false;
    TrayRecord stored;
    while (reader->nextMail(stored) == ReadResult::Live) {
      if (!stored.isLink() && stored.record.hasFlag(recordflag::kAttachments)) withAttachments.push_back(stored.index);
    }
  }
  for (const std::uint32_t index : withAttachments) {
    const auto header = file.headerLines(index);
    if (!header) continue;
    auto folder = TrayAttachments::folderName(*header);
    if (!folder) folder = TrayAttachments::messageIdFolderName(*header);
    if (folder) folders.insert(*folder);
  }
  return true;
}

void AttachmentCleanup::collectWorkFile(std::set<std::string>& folders) const {
  if (workFile_.empty()) return;
  platform::LineReader lines = platform::LineReader::openFile(TrayName::path(store_, workFile_, filetype::kText));
  // Header lines run from a separator line to the first empty line; a body
  // line that happens to begin with "From " can only add a name, never hide
  // one.
  bool inHeader = false;
  std::string line;
  while (lines.next(line)) {
    if (line.starts_with("From ")) {
      inHeader = true;
    } else if (line.empty()) {
      inHeader = false;
    } else if (inHeader) {
      if (const auto folder = TrayAttachments::folderName(line)) folders.insert(*folder);
    }
  }
}

std::optional<std::set<std::string>> AttachmentCleanup::referenced() const {
  std::set<std::string> folders;
  collectWorkFile(folders);
  for (const std::string& tray : LinkMaintenance(store_).allTrays()) {
    if (!collect(tray, folders)) return std::nullopt;
  }
  return folders;
}

std::vector<std::string> AttachmentCleanup::unreferenced() const {
  const auto referencedNames = referenced();
  std::vector<std::string> names;
  if (!referencedNames) return names;
  for (const auto& entry : platform::listDirectory(root())) {
    if (!referencedNames->contains(entry.name)) names.push_back(entry.name);
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::size_t AttachmentCleanup::release(std::string_view tray, const std::vector<std::string>& folders) const {
  if (folders.empty()) return 0;
  std::optional<std::set<std::string>> inUse;
  if (TrayAttachments::root(store_, tray) == root()) {
    inUse = referenced();
  } else {
    inUse.emplace();
    if (!collect(std::string(tray), *inUse)) inUse.reset();
  }
  // Not knowing who else names a folder, keep it: the clean-up finds it later.
  if (!inUse) return 0;
  std::size_t removed = 0;
  for (const std::string& folder : folders) {
    if (!inUse->contains(folder) && TrayAttachments::removeFolder(store_, tray, folder)) ++removed;
  }
  return removed;
}

std::size_t AttachmentCleanup::remove(const std::vector<std::string>& names) const {
  std::size_t removed = 0;
  for (const std::string& name : names) {
    if (name.empty() || name == "." || name == ".." || name.find('/') != std::string::npos) continue;
    const std::string path = platform::joinPath(root(), name);
    if (platform::isDirectory(path) ? platform::removeTree(path) : platform::removeFile(path)) ++removed;
  }
  return removed;
}

const std::string& AttachmentCleanup::noneText() {
  static const std::string text = platform::utf8ToSjis("参照されていない添付ファイルはありません．");
  return text;
}

std::string AttachmentCleanup::questionText(const std::vector<std::string>& names) {
  static const std::string head = platform::utf8ToSjis("以下のファイルは参照されていません．削除しますか？\n\n");
  std::string text = head;
  for (const std::string& name : names) text += name + "\n";
  return text;
}

}  // namespace zorvik::store
