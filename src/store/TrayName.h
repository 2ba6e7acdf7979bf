/// \file
/// How a tray name becomes the paths of the tray's files. A tray name is
/// either relative to the top cabinet ("新着受信", "仕事/会議") or a full path
/// beginning with "/" for a tray outside the store. The file type number is
/// what callers pass and what stored data carries, so the numbers are fixed.
#pragma once

#include <string>
#include <string_view>

#include "store/StoreLocation.h"

namespace zorvik::store {

namespace filetype {
inline constexpr int kPathOnly = 0;  // the path itself, any extension removed
inline constexpr int kText = 1;      // ".XM0"
inline constexpr int kIndex = 2;     // ".XM1"
inline constexpr int kCabinetMark = 3;  // ".XM2"
inline constexpr int kPropertyFile = 8;  // ".XM7"
inline constexpr int kTemplate = 9;      // ".XM8"
inline constexpr int kSettings = 10;     // ".XM9"
inline constexpr int kNewIndex = 11;     // ".tmp"
// A compaction writes the new tray beside the old one under these names and
// then renames them over ".XM1" and ".XM0" (see TrayCompactor).
inline constexpr int kCompactedIndex = 12;  // ".XMC"
inline constexpr int kCompactedText = 13;   // ".XMD"
}  // namespace filetype

/// Kinds of a cabinet listing entry, as the tree shows them.
enum class ListingKind { Hidden = 0, Tray = 1, CabinetMark = 2, Plain = 3 };

class TrayName {
public:
  /// The path of file type `type` of tray `name`; for a full path the
  /// extension is replaced, for a relative name it is appended. A leading
  /// "." of a file name (".Default") starts no extension.
  static std::string path(const StoreLocation& store, std::string_view name, int type);

  /// The extension of a file type ("" for 0 and for unknown numbers).
  static std::string_view extension(int type);

  /// A full path begins with "/"; it names a tray outside the store.
  static bool isFullPath(std::string_view name);

  /// False for a relative name that would leave the top cabinet through a
  /// ".." level, or that has an empty level. Such names come only from
  /// damaged records or mistyped commands; no file is touched for them.
  static bool isUsable(std::string_view name);

  /// How a cabinet listing shows the entry `fileName`. With `special`, the
  /// holding cabinets ".Xcut" and ".Xcopy" (second character "X") are shown.
  static ListingKind listingKind(std::string_view fileName, bool special);
};

}  // namespace zorvik::store
