/// \file
/// How a command finds the store of its settings file. A relative store
/// root (and any other relative path item) is taken from the settings
/// file's folder, where `init --dir` puts the store. Every tray write of a
/// command first checks for free disk space (question 44101; --no refuses
/// the write).
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "CliCommand.h"
#include "core/SettingsFile.h"
#include "store/TrayName.h"

namespace zorvik::cli {

/// The settings with their relative paths resolved, and the store they name.
struct OpenStore {
  core::SettingsFile* settings = nullptr;
  store::StoreLocation location;
};

/// Loads the settings of `context` and resolves them; empty when they
/// cannot be loaded (the reason was shown).
std::optional<OpenStore> openStore(CliContext& context);

/// The store of `settings` (already loaded) with only the store root
/// resolved, leaving the other path items as they are.
store::StoreLocation storeOf(CliContext& context, const core::SettingsFile& settings);

/// A record index as `list` prints it: decimal digits only.
std::optional<std::uint32_t> recordIndex(const std::string& text);

}  // namespace zorvik::cli
