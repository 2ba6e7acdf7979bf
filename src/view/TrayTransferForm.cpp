#include "view/TrayTransferForm.h"

#include "core/SettingsItemTable.h"
#include "platform/FileSystem.h"
#include "platform/TextEncoding.h"
#include "store/BackupPeriod.h"

namespace zorvik::view {
namespace {

namespace item = core::item;

// The settings items one dialog remembers its choices in; 0 where the
// dialog has no such switch.
struct RememberedItems {
  int directory;
  int period;
  int sameTree;
  int focusedOnly;
  int deleteCopied;
  int compactAfter;
};

RememberedItems itemsOf(TransferKind kind) {
  switch (kind) {
    case TransferKind::Backup:
      return {item::kBackupFolder, item::kBackupPeriod, 0, item::kBackupFocusedOnly, item::kBackupDeleteCopied,
              item::kBackupCompactAfter};
    case TransferKind::Import:
      return {item::kImportFolder, item::kMergePeriod, item::kMergeSameTree, item::kMergeFocusedOnly, 0, 0};
    case TransferKind::Export:
      break;
  }
  return {item::kExportFolder, item::kExportPeriod, item::kExportSameTree, item::kExportFocusedOnly, 0, 0};
}

bool flagOf(const core::ItemValues& settings, int id, bool otherwise) { return id ? settings.flag(id) : otherwise; }

void setFlag(core::ItemValues& settings, int id, bool value) {
  if (id) settings.setNumber(id, value ? 1 : 0);
}

}  // namespace

TransferChoices TrayTransferForm::remembered(const core::ItemValues& settings, TransferKind kind) {
  const RememberedItems items = itemsOf(kind);
  TransferChoices choices;
  choices.directory = settings.text(items.directory);
  choices.period = settings.number(items.period);
  if (choices.period < 0 || choices.period >= static_cast<int>(periodNames(kind).size())) choices.period = 0;
  choices.sameTree = flagOf(settings, items.sameTree, true);
  choices.focusedOnly = settings.flag(items.focusedOnly);
  choices.deleteCopied = flagOf(settings, items.deleteCopied, false);
  choices.compactAfter = flagOf(settings, items.compactAfter, false);
  return choices;
}

void TrayTransferForm::remember(core::ItemValues& settings, TransferKind kind, const TransferChoices& choices) {
  const RememberedItems items = itemsOf(kind);
  settings.setText(items.directory, choices.directory);
  settings.setNumber(items.period, choices.period);
  setFlag(settings, items.sameTree, choices.sameTree);
  setFlag(settings, items.focusedOnly, choices.focusedOnly);
  setFlag(settings, items.deleteCopied, choices.deleteCopied);
  setFlag(settings, items.compactAfter, choices.compactAfter);
}

const std::vector<std::string>& TrayTransferForm::periodNames(TransferKind kind) {
  using platform::sjisLiteral;
  static const std::vector<std::string> backup = {sjisLiteral("昨年分"), sjisLiteral("一昨年"), sjisLiteral("3年前"),
                                                  sjisLiteral("全部"), sjisLiteral("日付指定")};
  static const std::vector<std::string> merge = {sjisLiteral("3日"),  sjisLiteral("1週間"),   sjisLiteral("1ヶ月"),
                                                 sjisLiteral("3ヶ月"), sjisLiteral("半年"),   sjisLiteral("1年"),
                                                 sjisLiteral("日付指定"), sjisLiteral("全部")};
  return kind == TransferKind::Backup ? backup : merge;
}

int TrayTransferForm::pickedDayChoice(TransferKind kind) {
  return kind == TransferKind::Backup ? store::BackupPeriod::kBackupPicked : store::BackupPeriod::kMergePicked;
}

bool TrayTransferForm::runnable(const TransferChoices& choices, TransferKind kind) {
  return limitOf(choices, kind, 0, 0).has_value();
}

std::string TrayTransferForm::storeSide(const TransferChoices& choices, std::string_view selection) {
  return choices.focusedOnly ? std::string(selection) : std::string();
}

std::string TrayTransferForm::outsidePath(const TransferChoices& choices, TransferKind kind,
                                          std::string_view topCabinet, std::string_view selection) {
  if (!choices.sameTree && kind != TransferKind::Backup) return choices.directory;
  const std::string mirrored = platform::joinPath(choices.directory, topCabinet);
  const std::string inside = storeSide(choices, selection);
  return inside.empty() ? mirrored : platform::joinPath(mirrored, inside);
}

std::optional<store::DateLimit> TrayTransferForm::limitOf(const TransferChoices& choices, TransferKind kind,
                                                          std::time_t now, int zoneHours) {
  if (!platform::isFullPath(choices.directory)) return std::nullopt;
  std::optional<std::time_t> picked;
  if (choices.period == pickedDayChoice(kind)) {
    picked = store::BackupPeriod::parseDay(choices.pickedDay, zoneHours);
    if (!picked) return std::nullopt;
  }
  return kind == TransferKind::Backup ? store::BackupPeriod::forBackup(choices.period, now, zoneHours, picked)
                                      : store::BackupPeriod::forMerge(choices.period, now, zoneHours, picked);
}

std::optional<store::BackupRequest> TrayTransferForm::backupRequest(const TransferChoices& choices,
                                                                    std::string_view selection, std::time_t now,
                                                                    int zoneHours) {
  const auto limit = limitOf(choices, TransferKind::Backup, now, zoneHours);
  if (!limit) return std::nullopt;
  store::BackupRequest request;
  request.directory = choices.directory;
  request.selection = storeSide(choices, selection);
  request.focusedOnly = !request.selection.empty();
  request.limit = *limit;
  request.deleteCopied = choices.deleteCopied;
  request.compactAfter = choices.deleteCopied && choices.compactAfter;
  return request;
}

std::optional<store::MergeRequest> TrayTransferForm::mergeRequest(const TransferChoices& choices,
                                                                  std::string_view topCabinet,
                                                                  std::string_view selection, std::time_t now,
                                                                  int zoneHours) {
  const auto limit = limitOf(choices, TransferKind::Import, now, zoneHours);
  if (!limit) return std::nullopt;
  return store::MergeRequest{outsidePath(choices, TransferKind::Import, topCabinet, selection),
                             storeSide(choices, selection), *limit};
}

std::optional<store::ExportRequest> TrayTransferForm::exportRequest(const TransferChoices& choices,
                                                                    std::string_view topCabinet,
                                                                    std::string_view selection, std::time_t now,
                                                                    int zoneHours) {
  const auto limit = limitOf(choices, TransferKind::Export, now, zoneHours);
  if (!limit) return std::nullopt;
  std::string inside = storeSide(choices, selection);
  // Removing the whole store after exporting it would take the system trays
  // with it: only a selected tray or cabinet is removed.
  const bool removeSource = choices.removeSource && !inside.empty();
  return store::ExportRequest{std::move(inside), outsidePath(choices, TransferKind::Export, topCabinet, selection),
                              *limit, removeSource};
}

}  // namespace zorvik::view
