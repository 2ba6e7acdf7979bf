#include "store/TrayName.h"

#include <algorithm>
#include <array>

#include "core/SjisText.h"

namespace zorvik::store {
namespace {

constexpr std::array<std::string_view, 14> kExtensions = {
    "", ".XM0", ".XM1", ".XM2", ".XM3", ".XM4", ".XM5", ".XM6", ".XM7", ".XM8", ".XM9", ".tmp", ".XMC", ".XMD"};

// Where the extension of the last level begins, or npos.
std::size_t extensionStart(std::string_view path) {
  const std::size_t slash = path.rfind('/');
  const std::size_t nameStart = slash == std::string_view::npos ? 0 : slash + 1;
  const std::size_t dot = path.rfind('.');
  if (dot == std::string_view::npos || dot <= nameStart) return std::string_view::npos;
  return dot;
}

}  // namespace

std::string_view TrayName::extension(int type) {
  if (type < 0 || static_cast<std::size_t>(type) >= kExtensions.size()) return "";
  return kExtensions[static_cast<std::size_t>(type)];
}

bool TrayName::isFullPath(std::string_view name) { return !name.empty() && name.front() == '/'; }

std::string TrayName::path(const StoreLocation& store, std::string_view name, int type) {
  const std::string_view ext = extension(type);
  if (isFullPath(name)) {
    const std::size_t dot = extensionStart(name);
    return std::string(name.substr(0, dot)) + std::string(ext);
  }
  std::string path = store.topCabinetPath();
  if (!name.empty()) {
    path += '/';
    path += name;
  }
  return path + std::string(ext);
}

bool TrayName::isUsable(std::string_view name) {
  if (isFullPath(name)) return true;
  std::size_t start = 0;
  while (start <= name.size()) {
    const std::size_t end = std::min(name.find('/', start), name.size());
    const std::string_view level = name.substr(start, end - start);
    if (level.empty() || level == "..") return false;
    start = end + 1;
  }
  return true;
}

ListingKind TrayName::listingKind(std::string_view fileName, bool special) {
  if (!fileName.empty() && fileName.front() == '.') {
    return special && fileName.size() > 1 && fileName[1] == 'X' ? ListingKind::Plain : ListingKind::Hidden;
  }
  const std::size_t dot = fileName.rfind('.');
  if (dot == std::string_view::npos) return ListingKind::Plain;
  const std::string_view ext = fileName.substr(dot);
  if (core::equalsIgnoringAsciiCase(ext, ".XM1")) return ListingKind::Tray;
  if (core::equalsIgnoringAsciiCase(ext, ".XM2")) return ListingKind::CabinetMark;
  if (core::equalsIgnoringAsciiCase(ext.substr(0, 3), ".XM") || core::equalsIgnoringAsciiCase(ext, ".UID"))
    return ListingKind::Hidden;
  return ListingKind::Plain;
}

}  // namespace zorvik::store
