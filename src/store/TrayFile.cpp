#include "store/TrayFile.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <vector>

#include "core/Messages.h"
#include "core/SjisText.h"
#include "platform/FileSystem.h"
#include "store/AttachmentCleanup.h"
#include "store/IndexHead.h"
#include "store/LinkRecord.h"
#include "store/OperationStep.h"
#include "store/RecordFlags.h"
#include "store/TrayAttachments.h"
#include "store/TrayInheritance.h"

namespace zorvik::store {

using core::MessageNumber;

namespace {

using platform::FileAccess;

constexpr std::size_t kLongestHeaderLine = 4086;
constexpr std::string_view kSeparator = "From ";

bool startsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

bool startsWithIgnoringCase(std::string_view text, std::string_view prefix) {
  return core::equalsIgnoringAsciiCase(text.substr(0, prefix.size()), prefix);
}

// Restamps one header line in place; false when the line is too long.
bool restampLine(const platform::FileLock& file, std::uint64_t at, std::string_view line,
                 std::string_view dateLine) {
  constexpr std::string_view kInternal = "Zorvik: ";
  constexpr std::string_view kResent = "Zorvik: 101";
  if (line.size() > kLongestHeaderLine && !startsWith(line, "KRDX: ")) return false;
  // A line shorter than the stamp would have its line end overwritten.
  if (startsWith(line, kInternal) && line.size() >= kResent.size()) return file.writeAt(at, kResent);
  if (startsWithIgnoringCase(line, "Date: ") && line.size() == dateLine.size())
    return file.writeAt(at, dateLine);
  return true;
}

}  // namespace

TrayFile::TrayFile(StoreLocation store, std::string name) : store_(std::move(store)), name_(std::move(name)) {}

std::string TrayFile::path(int fileType) const { return TrayName::path(store_, name_, fileType); }

std::optional<TrayIndex> TrayFile::openIndex(FileAccess access) const {
  if (!TrayName::isUsable(name_)) return std::nullopt;
  if (access != FileAccess::Read && !mayWrite(filetype::kIndex)) return std::nullopt;
  return TrayIndex::open(path(filetype::kIndex), access);
}

bool TrayFile::mayWrite(int fileType) const {
  return !store_.writeCheck || store_.writeCheck(path(fileType));
}

bool TrayFile::create(const TrayProperties& properties) const {
  if (!TrayName::isUsable(name_) || !mayWrite(filetype::kIndex)) return false;
  // What a killed compaction of an earlier tray of this name left must not
  // be taken for the new tray's text.
  platform::removeFile(path(filetype::kCompactedText));
  platform::removeFile(path(filetype::kCompactedIndex));
  auto index = platform::FileLock::open(path(filetype::kIndex), FileAccess::Truncate);
  if (!index || !index->writeAt(0, IndexHead::encode(properties))) return false;
  auto text = platform::FileLock::open(path(filetype::kText), FileAccess::Truncate);
  return text.has_value();
}

bool TrayFile::createInheriting() const {
  return create(inheritedProperties(store_, platform::directoryOf(name_)));
}

bool TrayFile::exists() const { return openIndex(FileAccess::Read).has_value(); }

std::optional<TrayProperties> TrayFile::properties() const {
  const auto index = openIndex(FileAccess::Read);
  if (!index) return std::nullopt;
  const auto head = index->readHead();
  if (!head) return std::nullopt;
  return IndexHead::decode(*head);
}

bool TrayFile::rewriteProperties(const TrayProperties& properties) const {
  auto index = openIndex(FileAccess::Update);
  if (!index) return false;
  const std::string newPath = path(filetype::kNewIndex);
  auto fresh = platform::FileLock::open(newPath, FileAccess::Truncate);
  if (!fresh) return false;
  const std::string head = IndexHead::encode(properties);
  bool ok = fresh->writeAt(0, head);
  std::string block;
  std::uint64_t at = head.size();
  for (std::uint32_t first = 0; ok && first < index->recordCount();) {
    const std::uint32_t got = index->readBlock(first, 4096, block);
    ok = got > 0 && fresh->writeAt(at, std::string_view(block).substr(0, got * IndexRecord::kSize));
    at += static_cast<std::uint64_t>(got) * IndexRecord::kSize;
    first += got;
  }
  // Renaming over the old index replaces it in one step, so no reader ever
  // finds the tray without an index; openers that locked the old file notice
  // it was replaced and open again. The new index is on the disk first, or a
  // power cut could leave the name on an empty file.
  if (ok) ok = fresh->sync() && platform::renamePath(newPath, path(filetype::kIndex));
  if (!ok) platform::removeFile(newPath);
  return ok;
}

bool TrayFile::writeHeadValues(const TrayProperties& properties) const {
  auto index = openIndex(FileAccess::Update);
  if (!index) return false;
  return index->writeHeadWord(IndexHead::kFlagsOffset, properties.flags) &&
         index->writeHeadWord(IndexHead::kDisplayPeriodOffset, static_cast<std::uint32_t>(properties.displayPeriod)) &&
         index->writeHeadWord(IndexHead::kUserDisplayDaysOffset,
                              static_cast<std::uint32_t>(properties.userDisplayDays));
}

std::optional<std::uint32_t> TrayFile::recordCount() const {
  const auto index = openIndex(FileAccess::Read);
  if (!index) return std::nullopt;
  return index->recordCount();
}

std::optional<std::uint32_t> TrayFile::count(bool unreadOnly) const {
  auto session = reader();
  if (!session) return std::nullopt;
  std::uint32_t count = 0;
  TrayRecord record;
  while (session->nextMail(record) == ReadResult::Live) {
    if (!unreadOnly || !record.record.hasFlag(recordflag::kOpened)) ++count;
  }
  return count;
}

std::optional<TrayReader> TrayFile::reader() const { return TrayReader::open(store_, name_); }

std::optional<TrayAppender> TrayFile::appender() const { return TrayAppender::open(store_, name_); }

ReadResult TrayFile::read(std::uint32_t index, TrayRecord& out) const {
  auto session = reader();
  if (!session) return ReadResult::End;
  return session->read(index, out);
}

std::optional<std::uint32_t> TrayFile::appendRecord(const IndexRecord& record) const {
  auto session = appender();
  if (!session) return std::nullopt;
  const auto index = session->appendRecord(record);
  if (!session->finish()) return std::nullopt;
  return index;
}

std::optional<std::uint32_t> TrayFile::appendMail(const MailText& mail, const IndexRecord& record) const {
  auto session = appender();
  if (!session) return std::nullopt;
  const auto index = session->appendMail(mail, record);
  if (!session->finish()) return std::nullopt;
  return index;
}

bool TrayFile::writeRecord(std::uint32_t index, const IndexRecord& record) const {
  auto file = openIndex(FileAccess::Update);
  return file && file->write(index, record);
}

std::optional<std::uint32_t> TrayFile::writeLink(std::optional<std::uint32_t> index,
                                                 std::string_view targetTray,
                                                 std::uint32_t targetIndex) const {
  const auto link = LinkRecord::make(targetTray, targetIndex);
  if (!link) return std::nullopt;
  if (!index) return appendRecord(*link);
  if (!writeRecord(*index, *link)) return std::nullopt;
  return index;
}

bool TrayFile::changeFlags(std::uint32_t index, std::uint32_t mask, bool set) const {
  auto file = openIndex(FileAccess::Update);
  if (!file) return false;
  const auto record = file->read(index);
  if (!record) return false;
  const std::uint32_t flags = set ? record->flags() | mask : record->flags() & ~mask;
  return file->writeFlags(index, flags);
}

bool TrayFile::setMark(std::uint32_t index, int mark) const {
  auto file = openIndex(FileAccess::Update);
  if (!file) return false;
  const auto record = file->read(index);
  return record && file->writeFlags(index, recordflag::withMark(record->flags(), mark));
}

LinkResult TrayFile::changeReferenceCount(std::uint32_t index, int change) const {
  auto file = openIndex(FileAccess::Update);
  if (!file) return LinkResult::Failed;
  const auto record = file->read(index);
  if (!record) return LinkResult::Failed;
  const int count = record->referenceCount();
  if (change > 0 && count >= recordflag::kReferenceLimit) return LinkResult::LimitReached;
  const std::uint32_t flags = recordflag::withReferenceCount(record->flags(), count + change);
  return file->writeFlags(index, flags) ? LinkResult::Done : LinkResult::Failed;
}

bool TrayFile::clearReferenceCount(std::uint32_t index) const {
  auto file = openIndex(FileAccess::Update);
  if (!file) return false;
  const auto record = file->read(index);
  return record && file->writeFlags(index, recordflag::withReferenceCount(record->flags(), 0));
}

std::string TrayFile::textPathOf(const TrayRecord& record) const {
  if (!record.isLink()) return path(filetype::kText);
  return TrayName::path(store_, record.linkTarget, filetype::kText);
}

std::optional<std::string> TrayFile::headerLines(std::uint32_t index) const {
  TrayRecord record;
  if (read(index, record) != ReadResult::Live) return std::nullopt;
  const IndexRecord& mail = record.record;
  if (mail.bodyStart() < mail.textStart()) return std::nullopt;
  // The separator line comes first; a damaged count must not wrap to zero.
  const std::uint32_t lines = std::max(mail.headerLineCount(), mail.headerLineCount() + 1);
  auto text = TrayTextReader::open(textPathOf(record), mail.textStart(), lines);
  std::string line;
  if (!text || !text->next(line) || !startsWith(line, kSeparator)) return std::nullopt;
  std::string header;
  // The stored count bounds the lines; the empty line and the body start
  // bound them too, so a damaged count never runs into the body.
  while (text->position() < mail.bodyStart() && text->next(line) && !line.empty()) {
    if (!header.empty()) header += "\r\n";
    header += line;
  }
  return header;
}

std::optional<TrayTextReader> TrayFile::bodyReader(std::uint32_t index) const {
  TrayRecord record;
  if (read(index, record) != ReadResult::Live) return std::nullopt;
  return TrayTextReader::open(textPathOf(record), record.record.bodyStart(), record.record.bodyLineCount());
}

bool TrayFile::markDeleted(std::uint32_t index) const {
  auto file = openIndex(FileAccess::Update);
  if (!file) return false;
  const auto record = file->read(index);
  if (!record || !file->writeFlags(index, record->flags() | recordflag::kDeleted)) return false;
  if (file->anyLive() == true) return true;
  if (!mayWrite(filetype::kText)) return false;
  // The index stays held while the text is opened, so no append slips in.
  auto text = platform::FileLock::open(path(filetype::kText), FileAccess::Update);
  return text && emptyWhenNothingLive(*file, *text);
}

bool TrayFile::emptyWhenNothingLive() const {
  auto index = openIndex(FileAccess::Update);
  if (!index || !mayWrite(filetype::kText)) return false;
  auto text = platform::FileLock::open(path(filetype::kText), FileAccess::Update);
  return text && emptyWhenNothingLive(*index, *text);
}

bool TrayFile::emptyWhenNothingLive(TrayIndex& index, const platform::FileLock& text) {
  // The deleted bit on disk decides, not a read through links: a link whose
  // target is only locked for a moment must not cost the tray its records.
  const auto live = index.anyLive();
  if (!live) return false;
  if (*live) return true;
  return text.resize(0) && index.keepRecords(0);
}

bool TrayFile::writeDeletionMarker(const platform::FileLock& text, const IndexRecord& record) {
  char first[5];
  const auto got = text.readAt(record.textStart(), first, sizeof first);
  // Only a real separator is overwritten, and only when the marker ends
  // before the body: a marker longer than a tiny header would otherwise run
  // into the next mail, and a damaged offset would hit some other mail.
  if (!got || std::string_view(first, *got) != kSeparator) return true;
  if (record.textStart() + kDeletionMarker.size() > record.bodyStart()) return true;
  return text.writeAt(record.textStart(), kDeletionMarker);
}

bool TrayFile::deleteMail(std::uint32_t index, bool deleteAttachments) const {
  TrayRecord record;
  if (read(index, record) != ReadResult::Live || record.isLink()) return false;
  // The folder is named now: once the mail is deleted its header may be gone
  // with the whole tray emptied.
  std::vector<std::string> folders;
  if (deleteAttachments && record.record.hasFlag(recordflag::kAttachments)) {
    const auto header = headerLines(index);
    const auto folder = header ? TrayAttachments::folderName(*header) : std::nullopt;
    if (folder) folders.push_back(*folder);
  }
  bool done = false;
  {
    auto file = openIndex(FileAccess::Update);
    if (!file || !mayWrite(filetype::kText)) return false;
    // Both files are held before anything changes, so a tray that cannot be
    // written leaves the mail as it was.
    auto text = platform::FileLock::open(path(filetype::kText), FileAccess::Update);
    if (!text) return false;
    // The record as it is now, under the lock: the one read above may have
    // been deleted or moved by another operation meanwhile.
    const auto stored = file->read(index);
    if (!stored || stored->isDeleted() || stored->isLink()) return false;
    // The deleted bit goes first: a process killed before the marker is
    // written leaves a deleted record over intact text, while the other order
    // would leave a live record whose separator the marker has overwritten.
    if (!file->writeFlags(index, stored->flags() | recordflag::kDeleted) || !file->file().sync()) return false;
    operationStep();
    const bool marked = writeDeletionMarker(*text, *stored);
    done = emptyWhenNothingLive(*file, *text) && marked;
  }
  // Only a mail known to be deleted on disk loses its files, and only files
  // no other live mail names.
  AttachmentCleanup(store_).release(name_, folders);
  return done;
}

ReadResult TrayFile::releaseLink(std::uint32_t index) const {
  TrayRecord record;
  const ReadResult result = read(index, record);
  if (result == ReadResult::End) return result;
  if (result == ReadResult::Deleted) {
    changeFlags(index, recordflag::kDeleted, true);
    return result;
  }
  if (!record.isLink()) return result;
  TrayFile(store_, record.linkTarget).changeReferenceCount(record.linkIndex, -1);
  markDeleted(index);
  return result;
}

LinkResult TrayFile::linkInto(std::uint32_t index, const TrayFile& destination, core::Messages& messages,
                              std::uint32_t* newIndex) const {
  const LinkResult result = linkInto(index, destination, newIndex);
  if (result == LinkResult::LimitReached) messages.error(MessageNumber::TooManyLinks, {name_});
  return result;
}

LinkResult TrayFile::linkInto(std::uint32_t index, const TrayFile& destination,
                              std::uint32_t* newIndex) const {
  const auto link = LinkRecord::make(name_, index);
  if (!link) return LinkResult::Failed;
  auto source = openIndex(FileAccess::Update);
  if (!source) return LinkResult::Failed;
  const auto mail = source->read(index);
  if (!mail || mail->isDeleted() || mail->isLink()) return LinkResult::Failed;
  const int count = mail->referenceCount();
  if (count >= recordflag::kReferenceLimit) return LinkResult::LimitReached;

  // A link into the same tray goes through the index already held: a second
  // exclusive open of it would wait for ourselves.
  std::optional<TrayIndex> other;
  TrayIndex* target = &*source;
  if (destination.path(filetype::kIndex) != path(filetype::kIndex)) {
    other = destination.openIndex(FileAccess::Update);
    if (!other) return LinkResult::Failed;
    target = &*other;
  }
  if (!source->writeFlags(index, recordflag::withReferenceCount(mail->flags(), count + 1)))
    return LinkResult::Failed;
  const auto at = target->append(*link);
  if (!at) {
    source->writeFlags(index, mail->flags());
    return LinkResult::Failed;
  }
  if (newIndex) *newIndex = *at;
  return LinkResult::Done;
}

bool TrayFile::empty() const {
  auto index = openIndex(FileAccess::Update);
  if (!index || !mayWrite(filetype::kText)) return false;
  auto text = platform::FileLock::open(path(filetype::kText), FileAccess::Truncate);
  return text && index->keepRecords(0);
}

bool TrayFile::rename(std::string_view newName) const {
  const TrayFile renamed(store_, std::string(newName));
  if (!TrayName::isUsable(name_) || !TrayName::isUsable(newName)) return false;
  // Renaming over an existing tray would silently destroy it.
  if (platform::pathExists(renamed.path(filetype::kIndex)) || platform::pathExists(renamed.path(filetype::kText)))
    return false;
  auto index = openIndex(FileAccess::Update);
  if (!index) return false;
  if (!platform::renamePath(path(filetype::kText), renamed.path(filetype::kText))) return false;
  return platform::renamePath(path(filetype::kIndex), renamed.path(filetype::kIndex));
}

bool TrayFile::restampFirstMail(std::string_view dateLine) const {
  if (!TrayName::isUsable(name_) || !mayWrite(filetype::kText)) return false;
  auto file = platform::FileLock::open(path(filetype::kText), FileAccess::Update);
  if (!file) return false;
  auto text = TrayTextReader::over(std::move(*file), 0, std::numeric_limits<std::uint32_t>::max());
  if (!text) return false;
  std::string line;
  bool inHeader = false;
  for (;;) {
    const std::uint64_t at = text->position();
    if (!text->next(line)) return true;
    if (!inHeader) {
      inHeader = startsWith(line, kSeparator);
      continue;
    }
    if (line.empty()) return true;
    if (!restampLine(text->file(), at, line, dateLine)) return false;
  }
}

}  // namespace zorvik::store
