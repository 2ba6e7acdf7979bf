/// \file
/// The cabinets and trays of the store as the tree shows them: directories
/// are cabinets, index files (".XM1") are trays, and every name that begins
/// with "." (the work folder, ".inc", ".Xcut", ".Xcopy", ".Default" trays)
/// is hidden. Entries come in byte order of their names, so a listing is
/// the same on every run.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "store/TrayName.h"

namespace zorvik::store {

struct TreeEntry {
  std::string path;  // tray name or cabinet path, relative like the listed cabinet
  bool isCabinet = false;
};

/// The entries directly in `cabinet` ("" is the top cabinet).
std::vector<TreeEntry> listCabinet(const StoreLocation& store, std::string_view cabinet);

/// Visits every entry below `cabinet`, depth first: a cabinet, then what it
/// holds. Cabinets deeper than `kMaxTreeDepth` levels are not entered, so a
/// directory link that points back up cannot loop for ever.
void walkTree(const StoreLocation& store, std::string_view cabinet,
              const std::function<void(const TreeEntry&)>& visit);

inline constexpr int kMaxTreeDepth = 64;

/// The trays in and below `cabinet` whose text file (".XM0") has no index
/// beside it, in the walk's order. The tree cannot show them, yet their
/// mails are all there: a rebuild (TrayRebuild) makes the index anew.
/// Hidden names are left out, as the tree leaves them out.
std::vector<std::string> traysWithoutIndex(const StoreLocation& store, std::string_view cabinet);

/// The name relative to the top cabinet of a full path inside it ("" for
/// the top cabinet itself); empty when the path lies outside the top
/// cabinet. "/store/topX/a" is not inside "/store/top".
std::optional<std::string> nameInStore(const StoreLocation& store, std::string_view fullPath);

/// True when `cabinet` is an existing cabinet directory ("" the top cabinet).
bool isCabinet(const StoreLocation& store, std::string_view cabinet);

}  // namespace zorvik::store
