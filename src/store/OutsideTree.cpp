#include "store/OutsideTree.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

#include "platform/FileSystem.h"
#include "store/TrayFile.h"

namespace zorvik::store {
namespace {

std::filesystem::path resolved(std::string_view path) {
  std::error_code error;
  auto canonical = std::filesystem::weakly_canonical(platform::nativePath(path), error);
  if (error) return std::filesystem::path(platform::nativePath(path)).lexically_normal();
  return canonical;
}

bool isIndexFileName(std::string_view name) {
  if (name.size() < 5 || name.front() == '.') return false;
  const std::string_view ext = name.substr(name.size() - 4);
  return ext[0] == '.' && std::toupper(static_cast<unsigned char>(ext[1])) == 'X' &&
         std::toupper(static_cast<unsigned char>(ext[2])) == 'M' && ext[3] == '1';
}

}  // namespace

bool liesInside(std::string_view path, std::string_view top) {
  const auto inner = resolved(path);
  const auto outer = resolved(top);
  auto a = inner.begin();
  for (auto b = outer.begin(); b != outer.end(); ++b, ++a) {
    if (b->empty()) continue;  // a trailing separator
    if (a == inner.end() || *a != *b) return false;
  }
  return true;
}

OutsideListing listOutside(std::string_view directory) {
  OutsideListing listing;
  for (const auto& entry : platform::listDirectory(directory)) {
    if (entry.name.empty() || entry.name.front() == '.') continue;
    if (entry.isDirectory) {
      listing.cabinets.push_back(entry.name);
    } else if (isIndexFileName(entry.name)) {
      listing.trays.push_back(entry.name.substr(0, entry.name.size() - 4));
    }
  }
  std::sort(listing.cabinets.begin(), listing.cabinets.end());
  std::sort(listing.trays.begin(), listing.trays.end());
  return listing;
}

bool prepareTray(const StoreLocation& store, std::string_view name, const TrayProperties& properties) {
  const TrayFile tray(store, std::string(name));
  if (tray.exists()) return true;
  // Files that are there but do not read as a tray are someone's data:
  // creating the tray would empty them.
  if (platform::pathExists(tray.path(filetype::kIndex)) || platform::pathExists(tray.path(filetype::kText)))
    return false;
  const std::string directory = platform::directoryOf(tray.path(filetype::kIndex));
  return platform::makeDirectories(directory) && tray.create(properties);
}

}  // namespace zorvik::store
