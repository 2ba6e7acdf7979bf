#include "core/ItemEntry.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cstdio>
#include <iterator>
#include <utility>

#include "core/SettingsItemTable.h"
#include "platform/TextEncoding.h"

namespace zorvik::core {
namespace {

struct ItemKey {
  int id;
  std::string_view key;
};

// The items a script sets most, by the names an English-speaking user
// would guess.
constexpr ItemKey kKeys[] = {
    {item::kEditor, "editor"},
    {item::kTimeZone, "time-zone"},
    {item::kWorkFolder, "work-folder"},
    {item::kStoreRoot, "store-root"},
    {item::kTopCabinet, "top-cabinet"},
    {item::kNewMailTray, "new-mail-tray"},
    {item::kUnsentTray, "unsent-tray"},
    {item::kSentTray, "sent-tray"},
    {item::kTrashTray, "trash-tray"},
    {item::kEmptyTrashAtExit, "empty-trash-at-exit"},
    {item::kSenderName, "sender-name"},
    {item::kSenderAddress, "sender-address"},
    {item::kReplyTo, "reply-to"},
    {item::kOrganization, "organization"},
    {item::kAutoSendDelay, "auto-send-delay"},
    {item::kSmtpServer, "smtp-server"},
    {item::kSmtpPort, "smtp-port"},
    {item::kSmtpSendTimeout, "smtp-send-timeout"},
    {item::kSmtpReceiveTimeout, "smtp-receive-timeout"},
    {item::kSmtpHeloName, "smtp-helo"},
    {item::kCheckInterval, "check-interval"},
    {item::kAutoSort, "auto-sort"},
    {item::kPopServer, "pop-server"},
    {item::kPopUser, "pop-user"},
    {item::kPopPassword, "pop-password"},
    {item::kMaxMailSize, "max-mail-size"},
    {item::kDeleteFromServer, "delete-from-server"},
    {item::kPopPort, "pop-port"},
    {item::kPopSendTimeout, "pop-send-timeout"},
    {item::kPopReceiveTimeout, "pop-receive-timeout"},
    {item::kDeleteUnread, "delete-unread"},
    {item::kUseApop, "apop"},
    {item::kUseUidl, "uidl"},
    {item::kPopBeforeSmtp, "pop-before-smtp"},
    {item::kPopBeforeSmtpWait, "pop-before-smtp-wait"},
    {item::kPopSecurity, "pop-security"},
    {item::kSmtpSecurity, "smtp-security"},
    {item::kTrustedFingerprints, "trusted-fingerprints"},
    {item::kSmtpAuthMethod, "smtp-auth"},
    {item::kSmtpUser, "smtp-user"},
    {item::kSmtpPassword, "smtp-password"},
    {item::kAllowPlainAuthInClear, "plain-auth-in-clear"},
    {item::kPopAuthPlain, "pop-auth-plain"},
    {item::kDialUpEntry, "dialup-entry"},
};

struct ItemRange {
  int id;
  std::int32_t low;
  std::int32_t high;
};

// Integers whose values are bounded; the others take any 32-bit number.
constexpr std::int32_t kMax = INT32_MAX;
constexpr ItemRange kRanges[] = {
    {121, -1, 9},         {item::kMergePeriod, 0, 7},     {item::kExportPeriod, 0, 7},
    {item::kBackupPeriod, 0, 4},                          {304, 0, 2},
    {430, 1, 32},         {513, 0, 3},                    {item::kSmtpMaxSize, 0, kMax},
    {item::kSmtpPort, 1, 65535},                          {item::kSmtpSendTimeout, 0, 86400},
    {item::kSmtpReceiveTimeout, 0, 86400},                {item::kCheckInterval, 0, kMax},
    {item::kReceiveSplitSize, 0, kMax},                   {item::kMaxAttachmentSize, 0, kMax},
    {item::kMaxMailSize, 0, kMax},                        {item::kPopPort, 1, 65535},
    {item::kPopSendTimeout, 1, 86400},                    {item::kPopReceiveTimeout, 1, 86400},
    {item::kPopBeforeSmtpWait, 0, 3600},                  {item::kPopSecurity, 0, 2},
    {item::kSmtpSecurity, 0, 2},                          {item::kSmtpAuthMethod, 0, 4},
};

const ItemRange* rangeOf(int id) {
  const auto* found = std::find_if(std::begin(kRanges), std::end(kRanges), [id](const ItemRange& r) { return r.id == id; });
  return found == std::end(kRanges) ? nullptr : found;
}

bool holdsValue(const ItemRow& row) { return row.kind != ItemKind::Section && row.kind != ItemKind::End; }

std::optional<std::int64_t> integerOf(std::string_view text, int base) {
  std::int64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

std::pair<std::int64_t, std::int64_t> boundsOf(int id) {
  const ItemRange* range = rangeOf(id);
  return range ? std::pair<std::int64_t, std::int64_t>{range->low, range->high}
               : std::pair<std::int64_t, std::int64_t>{INT32_MIN, INT32_MAX};
}

}  // namespace

std::optional<std::size_t> findItem(const ItemTable& table, std::string_view text) {
  const auto& rows = table.rows();
  std::optional<std::size_t> found;
  if (const auto number = integerOf(text, 10)) {
    found = table.indexOf(static_cast<int>(*number));
  } else if (const auto* key = std::find_if(std::begin(kKeys), std::end(kKeys),
                                           [text](const ItemKey& k) { return k.key == text; });
             key != std::end(kKeys)) {
    found = table.indexOf(key->id);
  } else {
    const auto row = std::find_if(rows.begin(), rows.end(), [text](const ItemRow& r) { return r.description == text; });
    if (row != rows.end()) found = static_cast<std::size_t>(row - rows.begin());
  }
  if (!found || !holdsValue(rows[*found])) return std::nullopt;
  return found;
}

std::string_view settingsItemKey(int id) {
  const auto* key = std::find_if(std::begin(kKeys), std::end(kKeys), [id](const ItemKey& k) { return k.id == id; });
  return key == std::end(kKeys) ? std::string_view() : key->key;
}

std::optional<std::string> valueProblem(const ItemRow& row, std::string_view text) {
  switch (row.kind) {
    case ItemKind::Integer: {
      const auto [low, high] = boundsOf(row.id);
      const auto value = integerOf(text, 10);
      if (value && *value >= low && *value <= high) return std::nullopt;
      return platform::sjisLiteral("整数 ") + std::to_string(low) + platform::sjisLiteral("～") + std::to_string(high);
    }
    case ItemKind::Switch:
      if (text == "0" || text == "1") return std::nullopt;
      return platform::sjisLiteral("スイッチ 0 または 1");
    case ItemKind::Colour:
      if (text.size() == 8 && integerOf(text, 16)) return std::nullopt;
      return platform::sjisLiteral("色 16進数8桁（例 00FF0000）");
    case ItemKind::String:
      if (text.find_first_of("\r\n") == std::string_view::npos) return std::nullopt;
      return platform::sjisLiteral("1行の文字列");
    default: return std::nullopt;
  }
}

std::string valueText(const SettingsFile& settings, std::size_t row) {
  const ItemRow& item = settings.table().rows()[row];
  if (SettingsFile::isPasswordItem(item.id)) return settings.plainPassword(item.id);
  switch (item.kind) {
    case ItemKind::Colour: {
      char number[16];
      std::snprintf(number, sizeof number, "%08X", static_cast<unsigned>(settings.numberAt(row)));
      return number;
    }
    case ItemKind::Integer:
    case ItemKind::Switch: return std::to_string(settings.numberAt(row));
    default: return settings.textAt(row);
  }
}

void setValueText(SettingsFile& settings, std::size_t row, std::string_view text) {
  const ItemRow& item = settings.table().rows()[row];
  if (SettingsFile::isPasswordItem(item.id)) return settings.setPlainPassword(item.id, text);
  switch (item.kind) {
    case ItemKind::Colour:
      return settings.setNumber(item.id, static_cast<std::int32_t>(integerOf(text, 16).value_or(0)));
    case ItemKind::Integer:
    case ItemKind::Switch: return settings.setNumber(item.id, static_cast<std::int32_t>(integerOf(text, 10).value_or(0)));
    default: return settings.setText(item.id, text);
  }
}

}  // namespace zorvik::core
