#include "store/WorkFileAppender.h"

#include <cstdlib>

#include "message/HeaderReader.h"
#include "platform/FileSystem.h"
#include "platform/LineReader.h"
#include "store/MailRecordIndex.h"
#include "store/OperationStep.h"
#include "store/TrayRecord.h"

namespace zorvik::store {

namespace {

// While an append runs, a file beside the work file says where it began:
// "<tray name>\n<first index>\n". A process killed after the tray took the
// mails but before the work file went leaves both behind; the next append
// then finds the mails already there instead of storing them twice.
std::string markerOf(std::string_view workFilePath) { return std::string(workFilePath) + ".to"; }

struct Marker {
  std::string tray;
  std::uint32_t first = 0;
};

std::optional<Marker> readMarker(const std::string& path) {
  const auto text = platform::readFile(path);
  if (!text) return std::nullopt;
  const std::size_t end = text->find('\n');
  if (end == std::string::npos) return std::nullopt;
  char* last = nullptr;
  const unsigned long first = std::strtoul(text->c_str() + end + 1, &last, 10);
  if (last == text->c_str() + end + 1) return std::nullopt;
  return Marker{text->substr(0, end), static_cast<std::uint32_t>(first)};
}

// How many of the work file's first mails are the records from `first` on:
// each record is compared with the one its mail would get.
std::uint32_t alreadyStored(std::string_view workFilePath, const TrayFile& tray, std::uint32_t first,
                            const message::MailRecordParser& parser, std::string_view identity) {
  const std::uint32_t count = tray.recordCount().value_or(0);
  auto input = platform::LineReader::openFile(workFilePath);
  if (count <= first || !input.isOpen()) return 0;
  message::HeaderReader reader(input, parser);
  message::MailRecord mail;
  message::MailLines lines;
  std::uint32_t stored = 0;
  while (first + stored < count && reader.readHeader(mail, lines, identity)) {
    reader.copyBody(mail, lines);
    TrayRecord row;
    if (tray.read(first + stored, row) != ReadResult::Live) break;
    const IndexRecord expected = MailRecordIndex::toIndex(mail);
    if (row.record.date() != expected.date() || row.record.subject() != expected.subject()) break;
    ++stored;
  }
  return stored;
}

}  // namespace

std::optional<WorkFileResult> WorkFileAppender::append(std::string_view workFilePath, const TrayFile& tray,
                                                       const message::MailRecordParser& parser,
                                                       const Filter& filter, const Learner& learn,
                                                       std::string_view identity) {
  auto input = platform::LineReader::openFile(workFilePath);
  if (!input.isOpen()) return std::nullopt;
  const std::string marker = markerOf(workFilePath);
  const auto earlier = readMarker(marker);
  const std::uint32_t skip = earlier && earlier->tray == tray.name()
                                 ? alreadyStored(workFilePath, tray, earlier->first, parser, identity)
                                 : 0;
  auto session = tray.appender();
  if (!session) return std::nullopt;

  WorkFileResult result;
  result.firstIndex = skip > 0 ? earlier->first : session->nextIndex();
  if (skip == 0) platform::writeFileAtomically(marker, tray.name() + "\n" + std::to_string(result.firstIndex) + "\n");
  message::HeaderReader reader(input, parser);
  message::MailRecord mail;
  message::MailLines lines;
  while (reader.readHeader(mail, lines, identity)) {
    reader.copyBody(mail, lines);
    if (result.appended < skip) {
      ++result.appended;
      result.fragment = result.fragment || mail.has(message::mailflag::kFragment);
      continue;
    }
    if (filter && !filter(mail)) continue;
    if (learn && mail.has(message::mailflag::kSentByUser)) learn(mail);
    if (!session->appendMail(MailRecordIndex::toMailText(std::move(lines)), MailRecordIndex::toIndex(mail))) {
      // The work file stays for the next try, so none of its mails may
      // stay in the tray: they would be stored twice.
      session->abandon();
      return std::nullopt;
    }
    ++result.appended;
    result.fragment = result.fragment || mail.has(message::mailflag::kFragment);
  }
  // The work file is the only other copy of these mails: they must be on
  // the disk before it goes, or a power cut right after loses them.
  if (!session->sync()) {
    session->abandon();
    return std::nullopt;
  }
  session->finish();
  operationStep();
  platform::removeFile(workFilePath);
  platform::removeFile(marker);
  return result;
}

}  // namespace zorvik::store
