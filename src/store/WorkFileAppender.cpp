#include "store/WorkFileAppender.h"

#include "message/HeaderReader.h"
#include "platform/FileSystem.h"
#include "platform/LineReader.h"
#include "store/MailRecordIndex.h"
#include "store/OperationStep.h"

namespace zorvik::store {

std::optional<WorkFileResult> WorkFileAppender::append(std::string_view workFilePath, const TrayFile& tray,
                                                       const message::MailRecordParser& parser,
                                                       const Filter& filter, const Learner& learn,
                                                       std::string_view identity) {
  auto input = platform::LineReader::openFile(workFilePath);
  if (!input.isOpen()) return std::nullopt;
  auto session = tray.appender();
  if (!session) return std::nullopt;

  WorkFileResult result;
  result.firstIndex = session->nextIndex();
  message::HeaderReader reader(input, parser);
  message::MailRecord mail;
  message::MailLines lines;
  while (reader.readHeader(mail, lines, identity)) {
    reader.copyBody(mail, lines);
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
  return result;
}

}  // namespace zorvik::store
