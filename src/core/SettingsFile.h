/// \file
/// The personal settings file (".XM9"): every setting of one mail account as
/// numbered items in a Shift_JIS text file with CR LF line ends. One object
/// per process holds all items in memory, starting at the defaults; a load
/// overwrites only the items the file holds.
#pragma once

#include <string>
#include <string_view>

#include "core/AliasTable.h"
#include "core/ItemValues.h"
#include "core/Messages.h"
#include "core/SettingsItemTable.h"
#include "core/WorkingDirectories.h"

namespace zorvik::core {

class SettingsFile : public ItemValues {
public:
  /// Every item at its default. The template folder defaults to "Template"
  /// below the current directory.
  SettingsFile();

  /// Reads the file at `path` and recomputes the derived values. Unknown
  /// items are reported (error 40190) and skipped. False when the file cannot
  /// be opened or a value line is missing; the items read so far are kept.
  bool load(std::string_view path, Messages& messages);

  /// Writes every item to `path` (or the file last loaded or saved). The
  /// new file is written under a temporary name and renamed into place, the
  /// previous one kept as ".BAK", so a complete file is there at every
  /// moment; if the new one cannot be written, error 40186 is shown and the
  /// previous file stays as it was.
  bool save(Messages& messages, std::string_view path = {});

  /// The file last loaded or saved.
  const std::string& fileName() const { return fileName_; }

  /// Items 804, 824, 903 and 1003 are kept scrambled; these give the plain text.
  std::string plainPassword(int id) const;
  void setPlainPassword(int id, std::string_view plain);

  /// Prefixes `programDirectory` to the relative paths among the folder and
  /// file items (template, import, export, backup, work, store root, tree
  /// structure file).
  void resolveRelativePaths(std::string_view programDirectory);

  /// Recomputes the values derived from the items (after a load or a change).
  void updateDerivedValues();

  /// Hours east of UTC from the time-zone item: "JST-9" gives +9.
  int timeZoneOffsetHours() const { return timeZoneOffset_; }
  const AliasTable& aliases() const { return aliases_; }
  const WorkingDirectories& workingDirectories() const { return workingDirectories_; }
  /// The store root joined with the top cabinet name.
  std::string topCabinetPath() const;
  /// The sorting log file in the store root.
  std::string sortingLogPath() const;

  /// Items whose value is a folder or file path resolved against the program
  /// directory.
  static constexpr int kPathItems[] = {item::kTemplateFolder, item::kImportFolder, item::kExportFolder,
                                       item::kBackupFolder,   item::kWorkFolder,   item::kStoreRoot,
                                       item::kTreeStructureFile};
  /// Items kept scrambled.
  static bool isPasswordItem(int id);

private:
  std::string fileName_;
  int timeZoneOffset_ = 0;
  AliasTable aliases_;
  WorkingDirectories workingDirectories_;
};

/// The ".BAK" name of a settings file: its extension replaced.
std::string backupNameOf(std::string_view path);

/// Base name of a settings file without its extension; "Default" for an
/// empty name. It names the account's layout values and its hand-off socket.
std::string settingsNameOf(std::string_view path);

}  // namespace zorvik::core
