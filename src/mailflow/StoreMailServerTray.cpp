#include "mailflow/StoreMailServerTray.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "core/SettingsItemTable.h"
#include "mailflow/Document.h"
#include "message/HeaderReader.h"
#include "message/RawHeaderText.h"
#include "platform/FileSystem.h"
#include "platform/LineReader.h"
#include "store/MailRecordIndex.h"
#include "store/RecordFlags.h"
#include "store/TrayCompactor.h"
#include "store/TrayFile.h"
#include "store/TrayReader.h"

namespace zorvik::mailflow {
namespace {

// A key is the own key and the date as fixed-width hexadecimal, then the
// Subject: cheap to make, cheap to read back, and equal for equal records.
constexpr std::size_t kKeyPrefix = 4 * 4 + 16;

std::string keyOf(const message::MailRecord& record) {
  char prefix[kKeyPrefix + 1];
  std::snprintf(prefix, sizeof prefix, "%04x%04x%04x%04x%016llx", record.ownKey[0], record.ownKey[1],
                record.ownKey[2], record.ownKey[3],
                static_cast<unsigned long long>(static_cast<long long>(record.date)));
  return std::string(prefix, kKeyPrefix) + record.subject;
}

message::MailRecord recordOfKey(const std::string& key) {
  message::MailRecord record;
  if (key.size() < kKeyPrefix) return record;
  for (std::size_t i = 0; i < 4; ++i)
    record.ownKey[i] = static_cast<std::uint16_t>(std::strtoul(key.substr(i * 4, 4).c_str(), nullptr, 16));
  record.date = static_cast<std::time_t>(static_cast<long long>(std::strtoull(key.substr(16, 16).c_str(), nullptr, 16)));
  record.subject = key.substr(kKeyPrefix);
  return record;
}

// The header as a copy stores it: raw UTF-8 converted and each line decoded
// the way a received mail's header is, so that the key of a header from the
// server and the record of its stored copy agree.
bool readHeader(const message::MailRecordParser& parser, std::string_view header, message::MailRecord& record,
                message::MailLines& lines) {
  std::string text = "From  \r\n";
  text.append(message::RawHeaderText::toSjis(header));
  text.append("\r\n");
  auto input = platform::LineReader::fromText(std::move(text));
  message::HeaderReader reader(input, parser);
  return reader.readHeader(record, lines);
}

}  // namespace

StoreMailServerTray::StoreMailServerTray(store::StoreLocation store, std::string trayName,
                                         message::ParseContext context)
    : store_(std::move(store)), trayName_(std::move(trayName)), parser_([&context] {
        context.now = 0;
        return std::move(context);
      }()) {}

void StoreMailServerTray::load() {
  // Positions change only in compaction, so what was seen on the server
  // stays with its position when the index is read again.
  std::vector<bool> present;
  for (const Copy& copy : copies_) present.push_back(copy.present);
  copies_.clear();
  positions_.clear();
  loaded_ = true;
  auto reader = store::TrayReader::open(store_, trayName_);
  if (!reader) return;
  copies_.reserve(reader->recordCount());
  store::TrayRecord stored;
  for (store::ReadResult result; (result = reader->next(stored)) != store::ReadResult::End;) {
    Copy copy{store::MailRecordIndex::fromIndex(stored)};
    if (result == store::ReadResult::Deleted) copy.record.flags |= store::recordflag::kDeleted;
    copy.present = copies_.size() < present.size() && present[copies_.size()];
    addCopy(std::move(copy));
  }
}

void StoreMailServerTray::addCopy(Copy copy) {
  positions_[keyOf(copy.record).substr(0, kKeyPrefix)].push_back(copies_.size());
  copies_.push_back(std::move(copy));
}

StoreMailServerTray::Copy* StoreMailServerTray::copyAt(int index) {
  if (!loaded_) load();
  if (index < 0 || index >= static_cast<int>(copies_.size())) return nullptr;
  Copy& copy = copies_[static_cast<std::size_t>(index)];
  return copy.record.has(store::recordflag::kDeleted) ? nullptr : &copy;
}

void StoreMailServerTray::beginListing() {
  copies_.clear();
  load();
}

std::string StoreMailServerTray::headerKey(std::string_view header, int) {
  message::MailRecord record;
  message::MailLines lines;
  readHeader(parser_, header, record, lines);
  return keyOf(record);
}

net::MailServerTray::Match StoreMailServerTray::find(const std::string& key, int ordinal) {
  if (!loaded_) load();
  const message::MailRecord wanted = recordOfKey(key);
  const auto candidates = positions_.find(key.substr(0, kKeyPrefix));
  if (candidates == positions_.end()) return {};
  for (const std::size_t i : candidates->second) {
    const message::MailRecord& stored = copies_[i].record;
    if (stored.has(store::recordflag::kDeleted) || !stored.sameMailAs(wanted)) continue;
    if (ordinal-- > 0) continue;
    return {stored.has(store::recordflag::kOpened) ? CopyState::Received : CopyState::Unread, static_cast<int>(i)};
  }
  return {};
}

int StoreMailServerTray::append(std::string_view header, int) {
  if (!loaded_) load();
  message::MailRecord record;
  message::MailLines lines;
  if (!readHeader(parser_, header, record, lines)) return -1;
  // A copy is the header alone: nothing of the body is known here.
  lines.body.clear();
  record.bodyLineCount = 0;
  record.flags &= ~store::recordflag::kOpened;
  const store::TrayFile tray(store_, trayName_);
  const auto index = tray.appendMail(store::MailRecordIndex::toMailText(std::move(lines)),
                                     store::MailRecordIndex::toIndex(record));
  if (!index) return -1;
  // Another writer may have added records meanwhile; the cache follows the file.
  if (*index != copies_.size()) load();
  else addCopy({record});
  return static_cast<int>(*index);
}

net::MailServerTray::CopyState StoreMailServerTray::stateAt(int index) {
  const Copy* copy = copyAt(index);
  if (!copy) return CopyState::Missing;
  return copy->record.has(store::recordflag::kOpened) ? CopyState::Received : CopyState::Unread;
}

void StoreMailServerTray::markPresent(int index) {
  if (Copy* copy = copyAt(index)) copy->present = true;
}

bool StoreMailServerTray::setFlag(int index, std::uint32_t bit) {
  Copy* copy = copyAt(index);
  if (!copy) return false;
  if (!store::TrayFile(store_, trayName_).changeFlags(static_cast<std::uint32_t>(index), bit, true)) return false;
  copy->record.flags |= bit;
  return true;
}

void StoreMailServerTray::markReceived(int index) { setFlag(index, store::recordflag::kOpened); }

void StoreMailServerTray::markUnsavedAttachment(int index) { setFlag(index, kUnsavedAttachment); }

bool StoreMailServerTray::hasUnsavedAttachment(int index) {
  const Copy* copy = copyAt(index);
  return copy && copy->record.has(kUnsavedAttachment);
}

void StoreMailServerTray::remove(int index) {
  // Only the bit: the tray must keep its numbering until compact(), or the
  // positions the session holds would point at the wrong copies.
  setFlag(index, store::recordflag::kDeleted);
}

std::vector<int> StoreMailServerTray::compact() {
  if (!loaded_) load();
  const store::TrayFile tray(store_, trayName_);
  // Whatever the listing did not find on the server was deleted there by
  // someone else; its copy would otherwise stay for ever.
  for (std::size_t i = 0; i < copies_.size(); ++i) {
    if (!copies_[i].present && !copies_[i].record.has(store::recordflag::kDeleted))
      setFlag(static_cast<int>(i), store::recordflag::kDeleted);
  }
  std::vector<int> removed;
  for (std::size_t i = 0; i < copies_.size(); ++i)
    if (copies_[i].record.has(store::recordflag::kDeleted)) removed.push_back(static_cast<int>(i));
  if (removed.empty()) return removed;
  // A compaction that failed left every position as it was.
  if (!store::TrayCompactor(store_).compact(trayName_)) removed.clear();
  copies_.clear();
  load();
  return removed;
}

std::string StoreMailServerTray::uidFilePath() const {
  return store::TrayName::path(store_, trayName_, store::filetype::kPathOnly) + ".uid";
}

int StoreMailServerTray::liveCount() {
  const auto count = store::TrayFile(store_, trayName_).count(false);
  return count ? static_cast<int>(*count) : 0;
}

bool StoreMailServerTray::clear() {
  platform::removeFile(uidFilePath());
  loaded_ = false;
  return store::TrayFile(store_, trayName_).empty();
}

StoreMailServerTray StoreMailServerTray::ofDocument(const Document& document) {
  const core::SettingsFile& settings = document.settings();
  StoreMailServerTray tray(document.store(), settings.text(core::item::kMailServerTray),
                           message::ParseContext::fromSettings(settings, 0));
  // Server and user name the mailbox; another port (TLS instead of plain)
  // reaches the same one, whose mails must not come again.
  tray.followAccount(settings.text(core::item::kPopServer) + "\n" + settings.text(core::item::kPopUser));
  return tray;
}

void StoreMailServerTray::followAccount(const std::string& identity) {
  const std::string path = store::TrayName::path(store_, trayName_, store::filetype::kPathOnly) + ".account";
  const auto kept = platform::readFile(path);
  if (kept && *kept == identity) return;
  if (kept) clear();
  platform::writeFileAtomically(path, identity);
}

}  // namespace zorvik::mailflow
