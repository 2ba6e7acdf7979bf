/// \file
/// The name a new cabinet or tray gets: the base name from the settings
/// ("新規引出", "新規トレイ") when nothing of that name is in the cabinet,
/// else the base followed by 1, 2, ... 999, the first that is free. A name
/// counts as taken when a cabinet, a tray or any other file of that name is
/// there, so a new cabinet never takes the name of a tray beside it.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "store/TrayName.h"

namespace zorvik::store {

inline constexpr int kLastFreeNameNumber = 999;

/// The first free name for `base` in `cabinet` ("" the top cabinet), as a
/// path relative to the top cabinet; empty when even "<base>999" is taken.
std::optional<std::string> freeName(const StoreLocation& store, std::string_view cabinet, std::string_view base);

/// True when `path` (relative to the top cabinet) names a cabinet, a tray
/// or any other entry.
bool nameTaken(const StoreLocation& store, std::string_view path);

}  // namespace zorvik::store
