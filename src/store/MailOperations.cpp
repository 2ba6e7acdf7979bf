#include "store/MailOperations.h"

#include <algorithm>
#include <map>

#include "platform/FileLock.h"
#include "store/AttachmentCleanup.h"
#include "store/OperationStep.h"
#include "store/RecordFlags.h"
#include "store/TrayAttachments.h"
#include "store/TrayIndex.h"

namespace zorvik::store {
namespace {

using platform::FileAccess;

// Mails read and written per opening of the destination: large enough that
// opening costs nothing, small enough that the texts held meanwhile stay
// small; reading and writing apart also lets a mail be copied into its own
// tray, whose files a reader and a writer cannot hold at once.
constexpr std::size_t kChunk = 256;

struct Pending {
  std::size_t slot;  // position in the caller's list
  TrayRecord stored;
  std::optional<MailText> text;  // empty for a link row that moves as a link
};

// The record a copy is stored with: the mail's own record (a link row gives
// its target's), not a link, and with the reference count `references`.
IndexRecord copiedRecord(const TrayRecord& stored, int references) {
  IndexRecord record = stored.record;
  record.setFlags(recordflag::withReferenceCount(
      record.flags() & ~(recordflag::kLink | recordflag::kBrokenLink | recordflag::kDeleted), references));
  return record;
}

}  // namespace

MailOperations::MailOperations(StoreLocation store, std::string trashTray, int zoneHours, std::string serverTray)
    : store_(std::move(store)),
      trash_(std::move(trashTray)),
      zoneHours_(zoneHours),
      server_(std::move(serverTray)),
      links_(store_) {}

MailOperations::MoveResult MailOperations::transfer(std::string_view from, const std::vector<std::uint32_t>& indices,
                                                    std::string_view to, Transfer kind) const {
  MoveResult result{Placed(indices.size()), {}};
  Placed& placed = result.placed;
  if (!TrayFile(store_, std::string(to)).exists()) return result;
  const bool sameRoot = TrayAttachments::root(store_, from) == TrayAttachments::root(store_, to);
  std::map<MailPlace, MailPlace> moved;  // referenced mails whose links follow
  std::vector<std::uint32_t> referenced;   // referenced mails gone to the trash
  const bool keepsReferences = kind == Transfer::Move || kind == Transfer::CopyFollowed;
  const auto keptReferences = [&](const Pending& pending) {
    return keepsReferences && !pending.stored.isLink() ? pending.stored.record.referenceCount() : 0;
  };
  for (std::size_t begin = 0; begin < indices.size(); begin += kChunk) {
    const std::size_t end = std::min(indices.size(), begin + kChunk);
    std::vector<Pending> chunk;
    {
      auto reader = TrayReader::open(store_, from);
      if (!reader) break;
      MailCopy texts(store_);
      for (std::size_t slot = begin; slot < end; ++slot) {
        Pending pending{slot, {}, {}};
        if (reader->read(indices[slot], pending.stored) != ReadResult::Live) continue;
        const bool linkRow = pending.stored.isLink();
        if (!linkRow || kind != Transfer::Move) {
          pending.text = texts.read(from, pending.stored);
          if (!pending.text) continue;
          const std::string_view holder = linkRow ? std::string_view(pending.stored.linkTarget) : from;
          const bool ownFolder = kind == Transfer::Copy || kind == Transfer::CopyFollowed || !sameRoot;
          if (pending.stored.record.hasFlag(recordflag::kAttachments) && ownFolder &&
              !MailCopy::copyAttachments(store_, *pending.text, holder, to, pending.stored.record.date(), zoneHours_))
            continue;
        }
        chunk.push_back(std::move(pending));
      }
    }
    auto appender = TrayAppender::open(store_, to);
    if (!appender) break;
    std::vector<std::pair<const Pending*, std::uint32_t>> written;
    for (const Pending& pending : chunk) {
      std::optional<std::uint32_t> at;
      if (!pending.text) {
        const auto link = LinkRecord::make(pending.stored.linkTarget, pending.stored.linkIndex);
        if (link) at = appender->appendRecord(*link);
      } else {
        at = appender->appendMail(*pending.text, copiedRecord(pending.stored, keptReferences(pending)));
      }
      if (at) written.emplace_back(&pending, *at);
    }
    // A chunk that failed part way is taken back whole, so its mails stay
    // only where they were; the chunks before it are finished below.
    if (!appender->flush()) {
      appender->abandon();
      break;
    }
    appender->finish();
    for (const auto& [pending, at] : written) {
      placed[pending->slot] = at;
      const MailPlace original{std::string(from), indices[pending->slot]};
      if (pending->text && keptReferences(*pending) > 0) moved[original] = {std::string(to), at};
      if (pending->text && kind == Transfer::ToTrash && pending->stored.record.referenceCount() > 0)
        referenced.push_back(original.index);
    }
    operationStep();
  }
  if (kind == Transfer::Copy) return result;
  if (kind == Transfer::CopyFollowed) {
    links_.followMoves(moved);
    return result;
  }

  std::vector<std::uint32_t> done;
  for (std::size_t slot = 0; slot < indices.size(); ++slot) {
    if (placed[slot]) done.push_back(indices[slot]);
  }
  links_.followMoves(moved);
  operationStep();
  result.notRemoved = deleteRecords(from, done);
  // The links of a mail gone to the trash go once the original is deleted on
  // disk; an original that stayed keeps them.
  for (const std::uint32_t index : referenced) {
    if (std::find(result.notRemoved.begin(), result.notRemoved.end(), index) == result.notRemoved.end())
      links_.releaseLinksTo({std::string(from), index});
  }
  return result;
}

std::vector<std::uint32_t> MailOperations::deleteRecords(std::string_view tray,
                                                         const std::vector<std::uint32_t>& indices) const {
  if (indices.empty()) return {};
  const TrayFile file(store_, std::string(tray));
  if (store_.writeCheck && (!store_.writeCheck(file.path(filetype::kIndex)) ||
                            !store_.writeCheck(file.path(filetype::kText))))
    return indices;
  auto index = TrayIndex::open(file.path(filetype::kIndex), FileAccess::Update);
  if (!index) return indices;
  auto text = platform::FileLock::open(file.path(filetype::kText), FileAccess::Update);
  if (!text) return indices;
  std::vector<std::uint32_t> left;
  std::vector<IndexRecord> marked;
  for (const std::uint32_t at : indices) {
    const auto record = index->read(at);
    if (record && record->isDeleted()) continue;
    if (!record || !index->writeFlags(at, record->flags() | recordflag::kDeleted)) {
      left.push_back(at);
      continue;
    }
    marked.push_back(*record);
  }
  // The deleted bits are on the disk before any marker cuts a separator and
  // before the caller lets go of attachment folders and links: a process
  // killed before the marker leaves a deleted record over intact text, the
  // other order a live record whose header the marker has cut.
  if (!index->file().sync()) return indices;
  operationStep();
  for (const IndexRecord& record : marked) {
    // A marker that cannot be written leaves a deleted record over intact
    // text: the mail is gone all the same.
    if (!record.isLink()) TrayFile::writeDeletionMarker(*text, record);
  }
  operationStep();
  TrayFile::emptyWhenNothingLive(*index, *text);
  return left;
}

bool MailOperations::replace(std::string_view tray, std::uint32_t oldIndex, std::uint32_t newIndex) const {
  const TrayFile file(store_, std::string(tray));
  TrayRecord old;
  TrayRecord rewritten;
  if (file.read(oldIndex, old) != ReadResult::Live || old.isLink()) return false;
  if (file.read(newIndex, rewritten) != ReadResult::Live || rewritten.isLink()) return false;
  // What the user and the links gave the mail, as opposed to what its
  // header decides.
  constexpr std::uint32_t kCarried = recordflag::kOpened | recordflag::kMarkMask | recordflag::kReplied;
  const int references = old.record.referenceCount();
  IndexRecord record = rewritten.record;
  record.setFlags(recordflag::withReferenceCount((record.flags() & ~kCarried) | (old.record.flags() & kCarried),
                                                 references));
  if (!file.writeRecord(newIndex, record)) return false;
  if (references > 0) {
    links_.followMoves({{MailPlace{std::string(tray), oldIndex}, MailPlace{std::string(tray), newIndex}}});
    // The old mail goes without references: its links are the new one's.
    if (!file.clearReferenceCount(oldIndex)) return false;
  }
  operationStep();
  return remove(tray, {oldIndex}, false) == 1;
}

MailOperations::Placed MailOperations::copy(std::string_view from, const std::vector<std::uint32_t>& indices,
                                            std::string_view to, bool linksFollow) const {
  return transfer(from, indices, to, linksFollow ? Transfer::CopyFollowed : Transfer::Copy).placed;
}

MailOperations::MoveResult MailOperations::move(std::string_view from, const std::vector<std::uint32_t>& indices,
                                            std::string_view to) const {
  return transfer(from, indices, to, Transfer::Move);
}

LinkResult MailOperations::link(std::string_view from, std::uint32_t index, std::string_view to,
                                std::uint32_t* newIndex) const {
  const TrayFile source(store_, std::string(from));
  const TrayFile destination(store_, std::string(to));
  if (!destination.exists()) return LinkResult::Failed;
  return source.linkInto(index, destination, newIndex);
}

std::size_t MailOperations::deleteForGood(std::string_view tray, const std::vector<TrayRecord>& mails) const {
  const TrayFile file(store_, std::string(tray));
  // The folders are named while the headers can still be read: once the
  // mails are deleted the whole tray may be emptied.
  std::map<std::uint32_t, std::string> folders;
  std::vector<std::uint32_t> indices;
  for (const TrayRecord& mail : mails) {
    if (mail.record.hasFlag(recordflag::kAttachments)) {
      const auto header = file.headerLines(mail.index);
      const auto folder = header ? TrayAttachments::folderName(*header) : std::nullopt;
      if (folder) folders[mail.index] = *folder;
    }
    indices.push_back(mail.index);
  }
  operationStep();
  const std::vector<std::uint32_t> left = deleteRecords(tray, indices);
  // Only what is deleted on disk lets go of its links and its files; a mail
  // that stayed keeps both.
  std::vector<std::string> released;
  for (const TrayRecord& mail : mails) {
    if (std::find(left.begin(), left.end(), mail.index) != left.end()) continue;
    if (mail.record.referenceCount() > 0) links_.releaseLinksTo({std::string(tray), mail.index});
    if (const auto folder = folders.find(mail.index); folder != folders.end()) released.push_back(folder->second);
  }
  operationStep();
  AttachmentCleanup(store_).release(tray, released);
  return indices.size() - left.size();
}

std::size_t MailOperations::remove(std::string_view tray, const std::vector<std::uint32_t>& indices,
                                   bool forGood) const {
  if (!server_.empty() && tray == server_) return 0;
  std::vector<std::uint32_t> linkRows;
  std::vector<std::uint32_t> mailRows;
  std::vector<TrayRecord> mails;
  {
    auto reader = TrayReader::open(store_, tray);
    if (!reader) return 0;
    TrayRecord stored;
    for (const std::uint32_t index : indices) {
      const ReadResult result = reader->read(index, stored);
      if (result == ReadResult::Deleted && stored.record.hasFlag(recordflag::kBrokenLink)) linkRows.push_back(index);
      if (result != ReadResult::Live) continue;
      if (stored.isLink()) {
        linkRows.push_back(index);
        continue;
      }
      mailRows.push_back(index);
      mails.push_back(stored);
    }
  }
  std::size_t removed = releaseLinks(tray, linkRows);
  if (forGood || tray == trash_) return removed + deleteForGood(tray, mails);
  const MoveResult trashed = transfer(tray, mailRows, trash_, Transfer::ToTrash);
  // A mail copied into the trash whose original stayed has not gone.
  const auto placed = std::count_if(trashed.placed.begin(), trashed.placed.end(), [](const auto& at) {
    return at.has_value();
  });
  return removed + static_cast<std::size_t>(placed) - trashed.notRemoved.size();
}

std::size_t MailOperations::releaseLinks(std::string_view tray, const std::vector<std::uint32_t>& indices) const {
  const TrayFile file(store_, std::string(tray));
  std::size_t released = 0;
  for (const std::uint32_t index : indices) {
    TrayRecord stored;
    const ReadResult before = file.read(index, stored);
    if (!stored.isLink() || before == ReadResult::End) continue;
    if (file.releaseLink(index) != ReadResult::End) ++released;
  }
  return released;
}

std::size_t MailOperations::releaseAllLinks(std::string_view tray) const {
  std::vector<std::uint32_t> linkRows;
  auto reader = TrayReader::open(store_, tray);
  if (!reader) return 0;
  TrayRecord stored;
  for (ReadResult result; (result = reader->next(stored)) != ReadResult::End;) {
    if (stored.isLink() && !stored.record.hasFlag(recordflag::kDeleted)) linkRows.push_back(stored.index);
  }
  reader.reset();
  return releaseLinks(tray, linkRows);
}

std::vector<std::uint32_t> MailOperations::liveIndices(std::string_view tray) const {
  std::vector<std::uint32_t> live;
  auto reader = TrayReader::open(store_, tray);
  if (!reader) return live;
  TrayRecord stored;
  while (reader->nextMail(stored) == ReadResult::Live) live.push_back(stored.index);
  return live;
}

bool MailOperations::setOpened(std::string_view tray, const std::vector<std::uint32_t>& indices, bool opened,
                               bool thenReleaseLinks) const {
  if (!server_.empty() && tray == server_) return false;
  // The records to change, grouped by the tray that holds each mail, so
  // every index is opened once however many mails change.
  std::map<std::string, std::vector<std::uint32_t>> targets;
  std::vector<std::uint32_t> linkRows;
  {
    auto reader = TrayReader::open(store_, tray);
    if (!reader) return false;
    TrayRecord stored;
    for (const std::uint32_t index : indices) {
      if (reader->read(index, stored) != ReadResult::Live) continue;
      if (stored.isLink()) {
        targets[stored.linkTarget].push_back(stored.linkIndex);
        linkRows.push_back(index);
      } else {
        targets[std::string(tray)].push_back(index);
      }
    }
  }
  bool ok = true;
  for (const auto& [holder, records] : targets) {
    auto index = TrayIndex::open(TrayName::path(store_, holder, filetype::kIndex), FileAccess::Update);
    if (!index) {
      ok = false;
      continue;
    }
    for (const std::uint32_t at : records) {
      const auto record = index->read(at);
      if (!record) continue;
      const std::uint32_t flags = opened ? record->flags() | recordflag::kOpened : record->flags() & ~recordflag::kOpened;
      ok = index->writeFlags(at, flags) && ok;
    }
  }
  if (thenReleaseLinks) releaseLinks(tray, linkRows);
  return ok;
}

bool MailOperations::setTrayOpened(std::string_view tray, bool opened, bool thenReleaseLinks) const {
  if (!TrayFile(store_, std::string(tray)).exists()) return false;
  return setOpened(tray, liveIndices(tray), opened, thenReleaseLinks);
}

bool MailOperations::setMark(std::string_view tray, std::uint32_t index, int mark) const {
  if (mark < 0 || mark > 5) return false;
  TrayRecord stored;
  if (TrayFile(store_, std::string(tray)).read(index, stored) != ReadResult::Live) return false;
  if (stored.isLink()) return TrayFile(store_, stored.linkTarget).setMark(stored.linkIndex, mark);
  return TrayFile(store_, std::string(tray)).setMark(index, mark);
}

}  // namespace zorvik::store
