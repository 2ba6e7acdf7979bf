#include "store/AttachmentCleanup.h"

#include <algorithm>
#include <cctype>

#include "platform/FileSystem.h"
#include "platform/TextEncoding.h"
#include "store/LinkMaintenance.h"
#include "store/RecordFlags.h"
#include "store/TrayAttachments.h"
#include "store/TrayFile.h"

namespace zorvik::store {
namespace {

// The Message-Id of a header block, without angle brackets: the folder of
// a mail stored before folders were named in the header.
std::optional<std::string> messageIdFolder(std::string_view header) {
  constexpr std::string_view kField = "message-id:";
  for (std::size_t start = 0; start < header.size();) {
    std::size_t end = header.find("\r\n", start);
    if (end == std::string_view::npos) end = header.size();
    std::string_view line = header.substr(start, end - start);
    start = end + 2;
    if (line.size() < kField.size()) continue;
    bool match = true;
    for (std::size_t i = 0; i < kField.size() && match; ++i)
      match = std::tolower(static_cast<unsigned char>(line[i])) == kField[i];
    if (!match) continue;
    line.remove_prefix(kField.size());
    while (!line.empty() && (line.front() == ' ' || line.front() == '<')) line.remove_prefix(1);
    while (!line.empty() && (line.back() == ' ' || line.back() == '>')) line.remove_suffix(1);
    if (!line.empty()) return std::string(line);
  }
  return std::nullopt;
}

}  // namespace

std::string AttachmentCleanup::root() const { return platform::joinPath(store_.topCabinetPath(), ".inc"); }

std::set<std::string> AttachmentCleanup::referencedBy(const std::string& tray) const {
  std::set<std::string> folders;
  const TrayFile file(store_, tray);
  std::vector<std::uint32_t> withAttachments;
  {
    auto reader = file.reader();
    if (!reader) return folders;
    TrayRecord stored;
    while (reader->nextMail(stored) == ReadResult::Live) {
      if (!stored.isLink() && stored.record.hasFlag(recordflag::kAttachments)) withAttachments.push_back(stored.index);
    }
  }
  for (const std::uint32_t index : withAttachments) {
    const auto header = file.headerLines(index);
    if (!header) continue;
    auto folder = TrayAttachments::folderName(*header);
    if (!folder) folder = messageIdFolder(*header);
    if (folder) folders.insert(*folder);
  }
  return folders;
}

std::vector<std::string> AttachmentCleanup::unreferenced() const {
  std::set<std::string> referenced;
  for (const std::string& tray : LinkMaintenance(store_).allTrays()) referenced.merge(referencedBy(tray));
  std::vector<std::string> names;
  for (const auto& entry : platform::listDirectory(root())) {
    if (!referenced.contains(entry.name)) names.push_back(entry.name);
  }
  std::sort(names.begin(), names.end());
  return names;
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
