/// \file
/// The check made before a tray file is opened for writing: at least 10000
/// bytes must be free on the disk that holds it. When they are not, the user
/// is asked (message 44101) to free space and continue, or to end; the
/// question repeats until the space is there or the user gives up.
///
/// Installed as the store's write check (StoreLocation::writeCheck), so every
/// tray write passes through it.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

#include "core/Messages.h"

namespace zorvik::store {

class FreeSpaceCheck {
public:
  static constexpr std::uint64_t kRequiredBytes = 10000;

  /// Free bytes on the disk of a path; empty when it cannot be measured.
  using SpaceProbe = std::function<std::optional<std::uint64_t>(std::string_view path)>;

  /// `endProgram` runs when the user chooses to end; the desktop client ends
  /// the process there. Without it the write is refused and the operation
  /// fails, which is what a command-line run wants.
  explicit FreeSpaceCheck(core::Messages& messages, std::function<void()> endProgram = {},
                          SpaceProbe probe = {});

  /// True when `path` may be written. A disk whose free space cannot be
  /// measured passes: refusing every write would be worse than the risk.
  bool operator()(std::string_view path) const;

private:
  bool hasRoom(std::string_view path) const;

  core::Messages* messages_;
  std::function<void()> endProgram_;
  SpaceProbe probe_;
};

}  // namespace zorvik::store
