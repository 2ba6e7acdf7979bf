/// \file
/// What the backup, import and export dialogs decide without widgets: the
/// choices they remember in the settings, the names of their period
/// choices, and the request each one hands the store once the user runs it.
///
/// The store side of a run is the selected tray or cabinet when the dialog
/// is limited to the focused tray, else the whole store (the top cabinet).
/// The outside side of an import or export follows the same-tree switch:
/// on, the outside tree has the store's shape, so the chosen folder gets
/// the top cabinet's name and the store-side path below it (the layout a
/// backup writes, so a backup folder can be imported back as it is); off,
/// the chosen path names the outside tray or cabinet itself.
///
/// An export removes what it wrote only for a selected tray or cabinet,
/// never for the whole store (the system trays would go with it).
///
/// A run needs a full outside path: a relative one would land wherever the
/// program happens to have been started. The picked-date choice needs a
/// valid day ("YYYY-MM-DD").
#pragma once

#include <ctime>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/ItemValues.h"
#include "store/Backup.h"
#include "store/Export.h"
#include "store/Merge.h"

namespace zorvik::view {

enum class TransferKind { Backup, Import, Export };

/// The dialog's fields (texts in Shift_JIS).
struct TransferChoices {
  std::string directory;      ///< the outside folder
  int period = 0;             ///< index into periodNames()
  std::string pickedDay;      ///< "YYYY-MM-DD", for the picked-date choice
  bool sameTree = true;       ///< import and export
  bool focusedOnly = false;   ///< only the selected tray or cabinet
  bool deleteCopied = false;  ///< backup: delete what was backed up
  bool compactAfter = false;  ///< backup: compact after deleting
  bool removeSource = false;  ///< export: remove the exported trays (never remembered)
};

class TrayTransferForm {
public:
  /// The choices the settings remember for `kind` (items 113-115, 127-136).
  static TransferChoices remembered(const core::ItemValues& settings, TransferKind kind);
  /// Stores the choices in the settings items ("設定保存").
  static void remember(core::ItemValues& settings, TransferKind kind, const TransferChoices& choices);

  /// The period choices in dialog order (Shift_JIS).
  static const std::vector<std::string>& periodNames(TransferKind kind);
  /// The period choice that takes the picked date.
  static int pickedDayChoice(TransferKind kind);

  /// True when the choices make a run: a full outside path, a known period
  /// and, for the picked-date choice, a valid day.
  static bool runnable(const TransferChoices& choices, TransferKind kind);

  /// The tray or cabinet of the store a run works on ("" is the top).
  static std::string storeSide(const TransferChoices& choices, std::string_view selection);
  /// The outside tray or cabinet a run reads or writes (a backup always
  /// writes the store's shape).
  static std::string outsidePath(const TransferChoices& choices, TransferKind kind, std::string_view topCabinet,
                                 std::string_view selection);

  /// The requests of a run at `now`; empty when the choices are not runnable.
  static std::optional<store::BackupRequest> backupRequest(const TransferChoices& choices,
                                                           std::string_view selection, std::time_t now,
                                                           int zoneHours);
  static std::optional<store::MergeRequest> mergeRequest(const TransferChoices& choices,
                                                         std::string_view topCabinet, std::string_view selection,
                                                         std::time_t now, int zoneHours);
  static std::optional<store::ExportRequest> exportRequest(const TransferChoices& choices,
                                                           std::string_view topCabinet, std::string_view selection,
                                                           std::time_t now, int zoneHours);

private:
  /// The date limit of runnable choices; empty for choices that cannot run.
  static std::optional<store::DateLimit> limitOf(const TransferChoices& choices, TransferKind kind,
                                                 std::time_t now, int zoneHours);
};

}  // namespace zorvik::view
