/// \file
/// The open document of a front end: one personal settings file, loaded,
/// with its relative paths resolved, and the store it names, guarded by the
/// free-space check (question 44101) on every tray write. Every workflow is
/// handed one; none rebuilds its own store location from the settings, so
/// none can skip the check.
///
/// Relative paths of the settings are resolved against the settings file's
/// folder: that is where a first start (`zorvik-cli init --dir`, the
/// desktop client's first run) puts the store.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "core/Messages.h"
#include "core/SettingsFile.h"
#include "store/FreeSpaceCheck.h"
#include "store/StoreLocation.h"

namespace zorvik::mailflow {

class Document {
public:
  /// Loads the settings file at `path` (Shift_JIS). Empty, after message
  /// 44200 (no such file) or 44201 (not a settings file Zorvik can read),
  /// when it cannot be used. `endProgram` runs when the user answers the
  /// free-space question by ending the program (the desktop client ends
  /// there; without it the write is refused).
  static std::unique_ptr<Document> load(std::string_view path, core::Messages& messages,
                                        std::function<void()> endProgram = {});

  /// The settings file at `path` as it is on disk, relative paths left as
  /// they are (what `get` and `set` show and change). Empty after 44200 or
  /// 44201.
  static std::optional<core::SettingsFile> readSettings(std::string_view path, core::Messages& messages);

  /// A document over settings that are already loaded and resolved (the
  /// start-up's environment check has done both). `probe` measures the
  /// free space of a disk (statvfs when empty; tests give their own).
  Document(core::SettingsFile settings, core::Messages& messages, std::function<void()> endProgram = {},
           store::FreeSpaceCheck::SpaceProbe probe = {});

  core::SettingsFile& settings() { return settings_; }
  const core::SettingsFile& settings() const { return settings_; }
  /// The store, with the free-space check installed.
  const store::StoreLocation& store() const { return store_; }
  core::Messages& messages() const { return messages_; }

  /// The text file (".XM0") of the new-mail work file.
  std::string workFilePath() const;
  /// The free-space check for a file about to be written (44101 asked when
  /// the disk is nearly full); true when the write may go ahead.
  bool mayWrite(std::string_view path) const;

  /// Recomputes what derives from the settings after items changed.
  void settingsChanged();

  /// The folder against which the relative paths of the settings file at
  /// `path` are resolved, with a trailing "/".
  static std::string resolutionFolderOf(std::string_view path);

private:
  core::SettingsFile settings_;
  core::Messages& messages_;
  std::function<void()> endProgram_;
  store::FreeSpaceCheck::SpaceProbe probe_;
  store::StoreLocation store_;
};

}  // namespace zorvik::mailflow
