#include "store/TreeListing.h"

#include <algorithm>

#include "core/SjisText.h"
#include "platform/FileSystem.h"

namespace zorvik::store {
namespace {

std::string directoryPath(const StoreLocation& store, std::string_view cabinet) {
  return platform::joinPath(store.topCabinetPath(), cabinet);
}

// The cabinet's directory entries in byte order of their names.
std::vector<platform::DirectoryEntry> entriesInOrder(const StoreLocation& store, std::string_view cabinet) {
  std::vector<platform::DirectoryEntry> names = platform::listDirectory(directoryPath(store, cabinet));
  std::sort(names.begin(), names.end(), [](const auto& a, const auto& b) { return a.name < b.name; });
  return names;
}

void walk(const StoreLocation& store, std::string_view cabinet, int depth,
          const std::function<void(const TreeEntry&)>& visit) {
  for (const TreeEntry& entry : listCabinet(store, cabinet)) {
    visit(entry);
    if (entry.isCabinet && depth < kMaxTreeDepth) walk(store, entry.path, depth + 1, visit);
  }
}

void addTextsWithoutIndex(const StoreLocation& store, std::string_view cabinet, std::vector<std::string>& trays) {
  for (const platform::DirectoryEntry& name : entriesInOrder(store, cabinet)) {
    const std::size_t dot = name.name.rfind('.');
    if (name.isDirectory || name.name.starts_with('.') || dot == std::string::npos ||
        !core::equalsIgnoringAsciiCase(std::string_view(name.name).substr(dot), ".XM0"))
      continue;
    // The paths the rebuild will open, so that "a.xm0" on a file system
    // that tells cases apart is not offered as the tray "a".
    const std::string tray = platform::joinPath(cabinet, name.name.substr(0, dot));
    if (platform::isRegularFile(TrayName::path(store, tray, filetype::kText)) &&
        !platform::isRegularFile(TrayName::path(store, tray, filetype::kIndex)))
      trays.push_back(tray);
  }
}

}  // namespace

std::vector<TreeEntry> listCabinet(const StoreLocation& store, std::string_view cabinet) {
  std::vector<TreeEntry> entries;
  for (const platform::DirectoryEntry& name : entriesInOrder(store, cabinet)) {
    const ListingKind kind = TrayName::listingKind(name.name, false);
    if (kind == ListingKind::Hidden) continue;
    if (name.isDirectory) {
      entries.push_back({platform::joinPath(cabinet, name.name), true});
      continue;
    }
    if (kind != ListingKind::Tray) continue;
    const std::string trayName = name.name.substr(0, name.name.rfind('.'));
    entries.push_back({platform::joinPath(cabinet, trayName), false});
  }
  return entries;
}

void walkTree(const StoreLocation& store, std::string_view cabinet,
              const std::function<void(const TreeEntry&)>& visit) {
  walk(store, cabinet, 1, visit);
}

std::vector<std::string> traysWithoutIndex(const StoreLocation& store, std::string_view cabinet) {
  std::vector<std::string> trays;
  addTextsWithoutIndex(store, cabinet, trays);
  walkTree(store, cabinet, [&](const TreeEntry& entry) {
    if (entry.isCabinet) addTextsWithoutIndex(store, entry.path, trays);
  });
  return trays;
}

std::optional<std::string> nameInStore(const StoreLocation& store, std::string_view fullPath) {
  const std::string top = store.topCabinetPath();
  if (!fullPath.starts_with(top)) return std::nullopt;
  fullPath.remove_prefix(top.size());
  if (fullPath.empty()) return std::string();
  if (fullPath.front() != '/') return std::nullopt;
  return std::string(fullPath.substr(1));
}

bool isCabinet(const StoreLocation& store, std::string_view cabinet) {
  return platform::isDirectory(directoryPath(store, cabinet));
}

}  // namespace zorvik::store
