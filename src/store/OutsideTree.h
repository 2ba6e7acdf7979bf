/// \file
/// Helpers for the trees of cabinets and trays outside the store that
/// backup, import and export write and read: whether a path lies inside the
/// store's own tree (after symbolic links and ".." are resolved), the
/// cabinets and trays of an outside directory, and the preparation of a
/// destination tray with its directories.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "store/TrayName.h"
#include "store/TrayProperties.h"

namespace zorvik::store {

/// True when the full path `path` is the top cabinet `top` or lies below
/// it; both are resolved first, so "/x/../store/Top/a" and links into the
/// store count as inside.
bool liesInside(std::string_view path, std::string_view top);

/// The sub-directories (not beginning with ".") and the trays (index files
/// not beginning with ".", named without extension) of the outside
/// directory `directory`, in byte order.
struct OutsideListing {
  std::vector<std::string> cabinets;
  std::vector<std::string> trays;
};
OutsideListing listOutside(std::string_view directory);

/// Makes tray `name` ready to receive mails: when it does not exist, its
/// directories are created and the tray with `properties`. False when that
/// fails or its files exist without reading as a tray.
bool prepareTray(const StoreLocation& store, std::string_view name, const TrayProperties& properties);

}  // namespace zorvik::store
