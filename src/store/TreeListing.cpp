#include "store/TreeListing.h"

#include <algorithm>

#include "platform/FileSystem.h"

namespace zorvik::store {
namespace {

std::string directoryPath(const StoreLocation& store, std::string_view cabinet) {
  return platform::joinPath(store.topCabinetPath(), cabinet);
}

void walk(const StoreLocation& store, std::string_view cabinet, int depth,
          const std::function<void(const TreeEntry&)>& visit) {
  for (const TreeEntry& entry : listCabinet(store, cabinet)) {
    visit(entry);
    if (entry.isCabinet && depth < kMaxTreeDepth) walk(store, entry.path, depth + 1, visit);
  }
}

}  // namespace

std::vector<TreeEntry> listCabinet(const StoreLocation& store, std::string_view cabinet) {
  std::vector<platform::DirectoryEntry> names = platform::listDirectory(directoryPath(store, cabinet));
  std::sort(names.begin(), names.end(), [](const auto& a, const auto& b) { return a.name < b.name; });
  std::vector<TreeEntry> entries;
  for (const platform::DirectoryEntry& name : names) {
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
