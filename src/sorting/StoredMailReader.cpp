#include "sorting/StoredMailReader.h"

#include <optional>

#include "platform/FileLock.h"
#include "store/MailRecordIndex.h"
#include "store/RecordFlags.h"
#include "store/TrayFile.h"
#include "store/TrayReader.h"

namespace zorvik::sorting {
namespace {

// A header longer than this is damaged or hostile; sorting reads its start.
constexpr std::uint32_t kMostHeaderBytes = 1 << 20;

// The header lines of a mail (CR LF between them), without the separator
// line: the bytes between the record's text start and body start.
std::optional<std::string> headerOf(const platform::FileLock& text, const store::IndexRecord& record) {
  if (record.bodyStart() <= record.textStart()) return std::nullopt;
  const std::uint32_t size = std::min(record.bodyStart() - record.textStart(), kMostHeaderBytes);
  std::string bytes(size, '\0');
  const auto got = text.readAt(record.textStart(), bytes.data(), bytes.size());
  if (!got) return std::nullopt;
  bytes.resize(*got);
  if (bytes.rfind("From ", 0) != 0) return std::nullopt;
  const auto lineEnd = bytes.find("\r\n");
  if (lineEnd == std::string::npos) return std::string();
  return bytes.substr(lineEnd + 2);
}

void appendNumber(std::string& key, std::uint32_t value) {
  key.append(reinterpret_cast<const char*>(&value), sizeof value);
}

}  // namespace

bool StoredMailReader::read(const std::string& tray, std::uint32_t first, std::uint32_t count, bool skipFragments,
                            const Visit& visit) const {
  auto reader = store::TrayReader::open(store_, tray);
  if (!reader) return false;
  const store::TrayFile file(store_, tray);
  const auto text = platform::FileLock::open(file.path(store::filetype::kText), platform::FileAccess::Read);
  if (!text) return false;
  const std::uint64_t end = std::min<std::uint64_t>(std::uint64_t{first} + count, reader->recordCount());
  store::TrayRecord stored;
  for (std::uint64_t at = first; at < end; ++at) {
    if (reader->read(static_cast<std::uint32_t>(at), stored) != store::ReadResult::Live || stored.isLink()) continue;
    if (skipFragments && stored.record.hasFlag(store::recordflag::kFragment)) continue;
    message::MailRecord mail = store::MailRecordIndex::fromIndex(stored);
    if (const auto header = headerOf(*text, stored.record)) parser_.reparse(mail, *header);
    visit(stored.index, stored.record, mail);
  }
  return true;
}

std::string StoredMailReader::identity(const store::IndexRecord& record) {
  std::string key;
  appendNumber(key, static_cast<std::uint32_t>(record.date()));
  for (const auto part : record.ownKey()) appendNumber(key, part);
  for (const auto part : record.parentKey()) appendNumber(key, part);
  for (const std::string_view text : {record.listAddress(), record.listName(), record.subject()}) {
    key.append(text);
    key.push_back('\0');
  }
  return key;
}

}  // namespace zorvik::sorting
