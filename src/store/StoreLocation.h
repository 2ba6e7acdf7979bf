/// \file
/// Where the store lies (store root and top cabinet, settings items 201 and
/// 202) and what guards writes into it. Every tray operation is given one.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace zorvik::core {
class ItemValues;
}

namespace zorvik::store {

/// Asked before a tray file is opened for writing, with the file's path;
/// false refuses the write (the operation then fails).
using WriteCheck = std::function<bool(std::string_view path)>;

/// Where the store lies, and what guards writes into it.
struct StoreLocation {
  std::string root;        // store root (settings item 201), without a trailing "/"
  std::string topCabinet;  // top cabinet name (settings item 202)
  WriteCheck writeCheck;   // empty: writes always allowed

  /// Items 201 and 202 of the personal settings.
  static StoreLocation fromSettings(const core::ItemValues& settings);
  std::string topCabinetPath() const;
};

}  // namespace zorvik::store
