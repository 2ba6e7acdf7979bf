#include "view/MailList.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <ctime>

#include "core/SettingsItemTable.h"
#include "platform/FileSystem.h"
#include "platform/TextEncoding.h"
#include "store/LinkRecord.h"
#include "store/RecordFlags.h"
#include "store/SystemTrays.h"
#include "store/TrayFile.h"
#include "store/TrayName.h"
#include "store/TrayReader.h"
#include "view/KeyedOrder.h"
#include "view/MultibyteCompare.h"
#include "view/ThreadOrder.h"

namespace zorvik::view {

namespace flag = store::recordflag;

namespace {

// Deeper thread levels are drawn at this depth: a reply chain thousands of
// mails long would otherwise push its subjects out of any column.
constexpr std::uint32_t kMaxDrawnDepth = 64;

std::int64_t fileTimeOf(const std::string& path) {
  struct stat info {};
  if (::stat(platform::nativePath(path).c_str(), &info) != 0) return 0;
  return info.st_mtime;
}

}  // namespace

ListAppearance ListAppearance::fromSettings(const core::ItemValues& settings, int zoneHours) {
  ListAppearance appearance;
  appearance.dateFormat = settings.text(core::item::kDateFormat);
  appearance.threadTopMark = settings.text(core::item::kThreadTopMark);
  appearance.threadIndent = settings.text(core::item::kThreadIndent);
  appearance.zoneHours = zoneHours;
  return appearance;
}

void MailList::clear() {
  path_.clear();
  showsTray_ = false;
  trayKind_ = 0;
  mails_.clear();
  entries_.clear();
  linkTrays_.clear();
  records_.clear();
  order_.clear();
  depth_.clear();
}

bool MailList::showTray(const store::StoreLocation& store, const core::ItemValues& settings, const std::string& tray) {
  clear();
  path_ = tray;
  showsTray_ = true;
  trayKind_ = store::systemTrayKind(settings, tray);
  store_ = store;
  records_.reset(store, tray);
  const store::TrayFile file(store, tray);
  if (const auto properties = file.properties()) {
    sort_.applyTrayProperties(properties->sortDirection(), properties->sortColumn());
  } else {
    return false;
  }
  loadedTraySort_ = sort_.trayProperties();
  auto reader = file.reader();
  if (!reader) return false;
  mails_.reserve(reader->recordCount());
  // Sorting by a text column needs the texts once: they are taken here, on
  // the one walk over the index.
  const int column = sort_.column();
  const bool byText = column == kName || column == kAddress || column == kSubject;
  TextRanks texts;
  store::TrayRecord record;
  for (;;) {
    const store::ReadResult result = reader->next(record);
    if (result == store::ReadResult::End) break;
    const bool broken = result == store::ReadResult::Deleted && record.record.hasFlag(flag::kBrokenLink) &&
                        !record.record.isDeleted();
    if (result != store::ReadResult::Live && !broken) continue;
    MailRow row;
    const store::IndexRecord& stored = record.record;
    row.index = record.index;
    row.flags = stored.flags();
    row.date = stored.date();
    row.lines = stored.bodyLineCount();
    row.own = stored.ownKey();
    row.parent = stored.parentKey();
    row.broken = broken;
    if (record.isLink()) {
      row.linkIndex = record.linkIndex;
      auto known = std::find(linkTrays_.begin(), linkTrays_.end(), record.linkTarget);
      if (known == linkTrays_.end() && linkTrays_.size() < UINT16_MAX) {
        linkTrays_.push_back(record.linkTarget);
        known = linkTrays_.end() - 1;
      }
      if (known != linkTrays_.end()) row.linkTray = static_cast<std::uint16_t>(known - linkTrays_.begin() + 1);
    }
    mails_.push_back(std::move(row));
    if (byText) texts.add(textOf(stored, column));
  }
  reorder(byText ? &texts : nullptr);
  return true;
}

void MailList::showCabinet(const store::StoreLocation& store, const core::ItemValues& settings,
                           const std::string& cabinet) {
  clear();
  path_ = cabinet;
  for (TreeNode& node : childrenOf(store, settings, cabinet)) {
    const std::string file =
        node.isCabinet ? platform::joinPath(store.topCabinetPath(), node.path)
                       : store::TrayName::path(store, node.path, store::filetype::kIndex);
    entries_.push_back({std::move(node), fileTimeOf(file)});
  }
  reorder();
}

void MailList::setSortState(const ListSortState& state) {
  sort_ = state;
  reorder();
}

std::optional<std::array<int, 2>> MailList::changedTraySort() const {
  if (!showsTray_) return std::nullopt;
  const auto now = sort_.trayProperties();
  if (now == loadedTraySort_) return std::nullopt;
  return now;
}

void MailList::reorder(const TextRanks* texts) {
  const std::size_t count = showsTray_ ? mails_.size() : entries_.size();
  order_.resize(count);
  for (std::uint32_t i = 0; i < count; ++i) order_[i] = i;
  depth_.clear();
  if (!showsTray_) {
    // A cabinet's rows: by class, then by the name column in its direction.
    std::stable_sort(order_.begin(), order_.end(), [this](std::uint32_t a, std::uint32_t b) {
      return entries_[a].node.classRank() < entries_[b].node.classRank();
    });
    return;
  }
  if (sort_.column() != ListSortState::kFileOrder) sortRows(texts);
  if (!sort_.threads()) return;
  std::vector<ThreadKeys> keys;
  keys.reserve(order_.size());
  for (const std::uint32_t at : order_) keys.push_back({mails_[at].own, mails_[at].parent});
  const auto places = threadOrder(keys);
  std::vector<std::uint32_t> threaded;
  threaded.reserve(places.size());
  depth_.reserve(places.size());
  for (const ThreadPlace& place : places) {
    threaded.push_back(order_[place.row]);
    depth_.push_back(place.depth);
  }
  order_ = std::move(threaded);
}

void MailList::sortRows(const TextRanks* texts) {
  const int column = sort_.column();
  const bool descending = sort_.direction() == 1;
  // Equal keys keep the file order ascending; descending is the exact
  // reverse, so clicking a column twice reverses the list exactly.
  if (column == kDate || column == kLines) {
    // Numeric keys: the value in the high half (dates offset to unsigned),
    // the row's position in the low half.
    std::vector<std::uint64_t> keys;
    keys.reserve(order_.size());
    for (const std::uint32_t at : order_) {
      const MailRow& row = mails_[at];
      const std::uint32_t value = column == kDate ? static_cast<std::uint32_t>(row.date) ^ 0x80000000U : row.lines;
      keys.push_back(static_cast<std::uint64_t>(value) << 32 | at);
    }
    sortKeys(keys);
    for (std::size_t i = 0; i < keys.size(); ++i) order_[i] = static_cast<std::uint32_t>(keys[i]);
    if (descending) std::reverse(order_.begin(), order_.end());
    return;
  }
  if (texts) orderByRanks(texts->ranks());
  else orderByRanks(readTextRanks(column));
  if (descending) std::reverse(order_.begin(), order_.end());
}

std::string_view MailList::textOf(const store::IndexRecord& record, int column) {
  return column == kName ? record.listName() : column == kAddress ? record.listAddress() : record.subject();
}

std::vector<std::uint32_t> MailList::readTextRanks(int column) const {
  TextRanks texts;
  auto reader = store::TrayReader::open(store_, path_);
  store::TrayRecord read;
  // Rows are in file order: one walk over the index meets them all.
  std::size_t at = 0;
  while (reader && at < mails_.size() && reader->next(read) != store::ReadResult::End) {
    if (read.index != mails_[at].index) continue;
    texts.add(textOf(read.record, column));
    ++at;
  }
  for (; at < mails_.size(); ++at) texts.add({});
  return texts.ranks();
}

void MailList::orderByRanks(const std::vector<std::uint32_t>& ranks) {
  // The text's rank above, the row's position below: equal texts keep
  // file order.
  std::vector<std::uint64_t> keys;
  keys.reserve(order_.size());
  for (const std::uint32_t row : order_) keys.push_back(static_cast<std::uint64_t>(ranks[row]) << 32 | row);
  sortKeys(keys);
  for (std::size_t i = 0; i < keys.size(); ++i) order_[i] = static_cast<std::uint32_t>(keys[i]);
}

MailList::RowClass MailList::rowClass(std::size_t row) const {
  if (showsTray_) return RowClass::Mail;
  return entries_[order_[row]].node.isCabinet ? RowClass::Cabinet : RowClass::Tray;
}

const MailList::MailRow* MailList::mailAt(std::size_t row) const {
  if (!showsTray_ || row >= order_.size()) return nullptr;
  return &mails_[order_[row]];
}

std::string MailList::columnTitle(int column) const {
  static constexpr const char* kTitles[] = {"名前", "ﾒｰﾙｱﾄﾞﾚｽ", "件名", "送信日時", "行数"};
  if (column < 0 || column >= kColumns) return {};
  if (column == kLines && trayKind_ == store::kMailServerTray) return platform::sjisLiteral("サイズ");
  return platform::sjisLiteral(kTitles[column]);
}

std::string MailList::dateText(std::int64_t seconds) const {
  const std::time_t shifted = static_cast<std::time_t>(seconds + appearance_.zoneHours * 3600LL);
  std::tm fields{};
  if (!gmtime_r(&shifted, &fields)) return {};
  char text[128];
  const std::size_t length = std::strftime(text, sizeof text, appearance_.dateFormat.c_str(), &fields);
  return std::string(text, length);
}

std::string MailList::mailText(const MailRow& row, std::size_t position, int column) const {
  const store::IndexRecord& record = records_.record(row.index);
  if (row.broken) {
    if (column != kSubject) return {};
    return std::string(store::LinkRecord::of(record).targetTray());
  }
  switch (column) {
    case kName: return std::string(record.listName());
    case kAddress: return std::string(record.listAddress());
    case kSubject: {
      if (!sort_.threads() || depth_.empty()) return std::string(record.subject());
      const std::uint32_t depth = std::min(depth_[position], kMaxDrawnDepth);
      if (depth == 0) return appearance_.threadTopMark + std::string(record.subject());
      std::string text(appearance_.threadTopMark.size(), ' ');
      for (std::uint32_t i = 0; i < depth; ++i) text += appearance_.threadIndent;
      return text + std::string(record.subject());
    }
    case kDate: return dateText(row.date);
    case kLines: {
      if (trayKind_ == store::kMailServerTray) return "  -  ";
      char text[16];
      std::snprintf(text, sizeof text, "%5u", row.lines);
      return text;
    }
    default: return {};
  }
}

std::string MailList::entryText(const EntryRow& row, int column) const {
  switch (column) {
    case kName: return row.node.name;
    case kSubject: return parentOf(row.node.path);
    case kDate: return row.fileTime ? dateText(row.fileTime) : std::string();
    case kLines: return "  -  ";
    default: return {};
  }
}

std::string MailList::text(std::size_t row, int column) const {
  if (row >= order_.size()) return {};
  if (!showsTray_) return entryText(entries_[order_[row]], column);
  return mailText(mails_[order_[row]], row, column);
}

int MailList::icon(std::size_t row) const {
  if (row >= order_.size()) return 0;
  if (!showsTray_) {
    const TreeNode& node = entries_[order_[row]].node;
    return node.isCabinet ? 0 : 8 + node.trayKind;
  }
  const std::uint32_t status = mails_[order_[row]].flags;
  const int opened = (status & flag::kOpened) ? 1 : 0;
  if (status & flag::kSentByUser) return 4 + opened;
  if (status & flag::kToUser) return 2 + opened;
  return 6 + opened;
}

int MailList::stateImage(std::size_t row) const {
  const MailRow* mail = mailAt(row);
  if (!mail || mail->broken) return 0;
  const std::uint32_t status = mail->flags;
  const int mark = flag::markNumber(status);
  if (status & 0x80U) return 12;
  if (status & flag::kAttachments) return 6 + mark;
  return mark;
}

int MailList::overlay(std::size_t row) const {
  const MailRow* mail = mailAt(row);
  if (!mail) return 0;
  if (mail->broken) return 3;
  const std::uint32_t status = mail->flags;
  if (status & flag::kLink) return 1;
  if (status & flag::kReferenceMask) return 2;
  return 0;
}

bool MailList::unread(std::size_t row) const {
  const int image = icon(row);
  return showsTray_ && (image == 2 || image == 4 || image == 6);
}

std::uint32_t MailList::flags(std::size_t row) const {
  const MailRow* mail = mailAt(row);
  return mail ? mail->flags : 0;
}

std::uint32_t MailList::depth(std::size_t row) const { return row < depth_.size() ? depth_[row] : 0; }

std::optional<std::uint32_t> MailList::mailIndex(std::size_t row) const {
  const MailRow* mail = mailAt(row);
  if (!mail) return std::nullopt;
  return mail->index;
}

std::optional<std::pair<std::string, std::uint32_t>> MailList::linkTarget(std::size_t row) const {
  const MailRow* mail = mailAt(row);
  if (!mail || mail->linkTray == 0) return std::nullopt;
  return std::make_pair(linkTrays_[mail->linkTray - 1U], mail->linkIndex);
}

const TreeNode* MailList::node(std::size_t row) const {
  if (showsTray_ || row >= order_.size()) return nullptr;
  return &entries_[order_[row]].node;
}

std::optional<std::size_t> MailList::rowOfMail(std::uint32_t index) const {
  if (!showsTray_) return std::nullopt;
  for (std::size_t row = 0; row < order_.size(); ++row)
    if (mails_[order_[row]].index == index) return row;
  return std::nullopt;
}

std::optional<std::size_t> MailList::nextUnread(std::optional<std::size_t> row) const {
  if (!showsTray_) return std::nullopt;
  for (std::size_t at = row ? *row + 1 : 0; at < order_.size(); ++at) {
    const MailRow& mail = mails_[order_[at]];
    if (!mail.broken && !(mail.flags & flag::kOpened)) return at;
  }
  return std::nullopt;
}

std::optional<std::size_t> MailList::nextWithMark(std::optional<std::size_t> row, int mark) const {
  if (!showsTray_ || order_.empty()) return std::nullopt;
  const std::size_t start = row ? *row + 1 : 0;
  for (std::size_t step = 0; step < order_.size(); ++step) {
    const std::size_t at = (start + step) % order_.size();
    const MailRow& mail = mails_[order_[at]];
    if (!mail.broken && flag::markNumber(mail.flags) == mark) return at;
  }
  return std::nullopt;
}

std::size_t MailList::unreadCount() const {
  return static_cast<std::size_t>(std::count_if(mails_.begin(), mails_.end(), [](const MailRow& mail) {
    return !mail.broken && !(mail.flags & flag::kOpened);
  }));
}

void MailList::setOpened(std::uint32_t index, bool opened) {
  for (MailRow& mail : mails_) {
    if (mail.index != index) continue;
    mail.flags = opened ? mail.flags | flag::kOpened : mail.flags & ~flag::kOpened;
    return;
  }
}

void MailList::setMark(std::uint32_t index, int mark) {
  for (MailRow& mail : mails_) {
    if (mail.index != index) continue;
    mail.flags = flag::withMark(mail.flags, mark);
    return;
  }
}

}  // namespace zorvik::view
