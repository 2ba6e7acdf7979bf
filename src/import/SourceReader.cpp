#include "import/SourceReader.h"

#include "import/AlMailBox.h"
#include "import/MboxReader.h"
#include "import/MboxWriter.h"
#include "import/MsInternetMail.h"
#include "import/SingleMailFiles.h"
#include "platform/FileSystem.h"

namespace zorvik::import {
namespace {

// Writes what `fill` reads into the intermediate mailbox, then reads that.
template <typename Fill>
ReadEnd throughMailbox(std::string_view workMailbox, const MailHandler& each, Fill fill) {
  MboxWriter writer(workMailbox);
  if (!writer.isOpen()) return ReadEnd::Unreadable;
  const MailHandler write = [&writer](std::string_view mail) { return writer.write(mail); };
  ReadEnd end = fill(write);
  // A failed write to the work file says nothing of the source.
  if (!writer.close() && end != ReadEnd::Damaged) end = ReadEnd::Unreadable;
  if (end == ReadEnd::Done || end == ReadEnd::Damaged) {
    const ReadEnd read = MboxReader::readFile(workMailbox, each);
    if (read != ReadEnd::Done) end = read;
  }
  platform::removeFile(workMailbox);
  return end;
}

}  // namespace

SourceRead SourceReader::read(MailerKind kind, std::string_view source, std::string_view workMailbox,
                              const MailHandler& each) {
  SourceRead result;
  switch (kind) {
    case MailerKind::UnixMail:
      result.end = MboxReader::readFile(source, each);
      break;
    case MailerKind::MsInternetMail: {
      const auto pair = MsInternetMail::pairOf(source);
      result.end = pair ? throughMailbox(workMailbox, each,
                                         [&pair](const MailHandler& write) { return MsInternetMail::readFiles(*pair, write); })
                        : ReadEnd::Unreadable;
      break;
    }
    case MailerKind::AlMail16:
      result.end = throughMailbox(workMailbox, each, [&](const MailHandler& write) {
        return AlMailBox::readFile(source, write, result.skipped);
      });
      break;
    case MailerKind::Maildir:
    case MailerKind::Eml: {
      const auto files = kind == MailerKind::Maildir ? SingleMailFiles::ofMaildir(source) : SingleMailFiles::ofEml(source);
      result.end = files ? SingleMailFiles::read(*files, each, result.skipped) : ReadEnd::Damaged;
      break;
    }
    default:
      result.end = ReadEnd::Damaged;
  }
  return result;
}

}  // namespace zorvik::import
