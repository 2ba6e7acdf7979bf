#include "store/TrayAttachments.h"

#include "core/SjisText.h"
#include "platform/FileSystem.h"

namespace zorvik::store {
namespace {

constexpr std::string_view kFolderLine = "X-Zorvik-AttachDir: ";

bool isPlainName(std::string_view name) {
  if (name.empty() || name == "." || name == "..") return false;
  return name.find_first_of("/\\:") == std::string_view::npos && name.find('\0') == std::string_view::npos;
}

}  // namespace

std::optional<std::string> TrayAttachments::folderName(std::string_view header) {
  std::size_t start = 0;
  while (start < header.size()) {
    std::size_t end = header.find("\r\n", start);
    if (end == std::string_view::npos) end = header.size();
    const std::string_view line = header.substr(start, end - start);
    if (line.substr(0, kFolderLine.size()) == kFolderLine) {
      std::string_view name = line.substr(kFolderLine.size());
      while (!name.empty() && name.back() == ' ') name.remove_suffix(1);
      if (!isPlainName(name)) return std::nullopt;
      return std::string(name);
    }
    start = end + 2;
  }
  return std::nullopt;
}

std::optional<std::string> TrayAttachments::messageIdFolderName(std::string_view header) {
  constexpr std::string_view kField = "message-id:";
  for (std::size_t start = 0; start < header.size();) {
    std::size_t end = header.find("\r\n", start);
    if (end == std::string_view::npos) end = header.size();
    std::string_view line = header.substr(start, end - start);
    start = end + 2;
    if (!core::equalsIgnoringAsciiCase(line.substr(0, kField.size()), kField)) continue;
    line.remove_prefix(kField.size());
    while (!line.empty() && (line.front() == ' ' || line.front() == '<')) line.remove_prefix(1);
    while (!line.empty() && (line.back() == ' ' || line.back() == '>')) line.remove_suffix(1);
    if (isPlainName(line)) return std::string(line);
  }
  return std::nullopt;
}

std::string TrayAttachments::root(const StoreLocation& store, std::string_view trayName) {
  if (!TrayName::isFullPath(trayName)) return platform::joinPath(store.topCabinetPath(), ".inc");
  const std::string inStore = store.topCabinetPath() + "/";
  if (trayName.substr(0, inStore.size()) == inStore) return platform::joinPath(store.topCabinetPath(), ".inc");
  for (std::size_t slash = trayName.find('/', 1); slash != std::string_view::npos;
       slash = trayName.find('/', slash + 1)) {
    // "<level>/.inc": the attachment root a backup or export makes at the
    // top of the tree it writes, found from any tray below it.
    const std::string candidate = std::string(trayName.substr(0, slash + 1)) + ".inc";
    if (platform::isDirectory(candidate)) return candidate;
  }
  return TrayName::path(store, trayName, filetype::kPathOnly);
}

bool TrayAttachments::removeFolder(const StoreLocation& store, std::string_view trayName,
                                   std::string_view folder) {
  if (!isPlainName(folder)) return false;
  const std::string path = platform::joinPath(root(store, trayName), folder);
  if (!platform::pathExists(path)) return true;
  return platform::removeTree(path);
}

}  // namespace zorvik::store
