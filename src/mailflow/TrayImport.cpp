#include "mailflow/TrayImport.h"

#include <ctime>
#include <fstream>

#include "import/ImportPeriod.h"
#include "import/SourceReader.h"
#include "mailflow/Document.h"
#include "mailflow/WorkFileSink.h"
#include "message/MailRecordParser.h"
#include "message/MimeDecoder.h"
#include "net/ServerMailEntry.h"
#include "platform/FileSystem.h"
#include "platform/TextEncoding.h"
#include "store/TrayAttachments.h"
#include "store/TrayFile.h"
#include "store/TreeOperations.h"
#include "store/WorkFileAppender.h"

namespace zorvik::mailflow {

using core::MessageNumber;

namespace {


constexpr const char* kWorkFileName = "Import.XM0";
constexpr const char* kWorkMailboxName = "Import.mbx";

MessageNumber unreadableMessage(import::MailerKind kind) {
  if (kind == import::MailerKind::UnixMail) return MessageNumber::ImportCopyRefused;
  if (kind == import::MailerKind::AlMail16) return MessageNumber::AlMail16ConversionRefused;
  return MessageNumber::ImportConversionRefused;
}

// "取込中：<tray> <n>" (Shift_JIS).
std::string progressText(const std::string& tray, std::size_t mails) {
  return platform::sjisLiteral("取込中：") + tray + " " + std::to_string(mails);
}

}  // namespace

TrayImport::TrayImport(const Document& document, FrontEnd& front, import::MailerKind kind,
                       const store::DateLimit& period, const std::optional<std::string>& attachFolder)
    : document_(document),
      front_(front),
      kind_(kind),
      period_(period),
      attachFolder_(attachFolder),
      zoneHours_(document.settings().timeZoneOffsetHours()) {}

ImportedFile TrayImport::run(const std::string& source, const std::string& tray) {
  ImportedFile file{source, tray};
  read_ = 0;
  const auto text = platform::fileSize(store::TrayName::path(document_.store(), tray, store::filetype::kText));
  if (text && *text > 0) {
    file.declined = !document_.messages().question(MessageNumber::ClearTrayBeforeImport);
    if (file.declined) return file;
    if (!store::TreeOperations(document_.store(), document_.settings(), document_.messages()).emptyTray(tray)) {
      document_.messages().error(MessageNumber::MailsDeleteFailed, {tray});
      return file;
    }
  }
  const std::string workDirectory = message::MimeDecoderSettings::fromSettings(document_.settings()).workDirectory;
  platform::makeDirectories(workDirectory);
  const std::string workFile = platform::joinPath(workDirectory, kWorkFileName);
  platform::removeFile(workFile);
  const bool read = kind_ == import::MailerKind::Becky ? readBecky(file, workFile) : readDecoded(file, workFile);
  const bool stored = storeWorkFile(file, workFile);
  platform::removeFile(workFile);
  file.ok = read && stored;
  return file;
}

bool TrayImport::nextMail(const ImportedFile& file) {
  if (front_.stop.requested()) return false;
  front_.progress.step(progressText(file.tray, ++read_));
  return true;
}

bool TrayImport::readDecoded(ImportedFile& file, const std::string& workFile) {
  core::Messages& messages = document_.messages();
  message::MimeDecoderSettings decoding = message::MimeDecoderSettings::fromSettings(document_.settings());
  decoding.attachmentRoot = store::TrayAttachments::root(document_.store(), file.tray);
  WorkFileSink sink(workFile, decoding, messages);
  bool failed = false;
  const import::MailHandler each = [&](std::string_view mail) {
    if (!import::ImportPeriod::admits(period_, import::ImportPeriod::dateOf(mail, zoneHours_))) {
      ++file.leftOut;
      return true;
    }
    if (!nextMail(file)) return false;
    if (sink.beginMail(-1, net::ServerMailEntry{}, false) && sink.appendMail(mail) && sink.endMail()) return true;
    failed = true;
    messages.error(sink.writeFailed() ? MessageNumber::ReceiveDiskFull : MessageNumber::MimeConversionFailed);
    return false;
  };
  const std::string workMailbox = platform::joinPath(platform::directoryOf(workFile), kWorkMailboxName);
  const import::SourceRead read = import::SourceReader::read(kind_, file.source, workMailbox, each);
  sink.close();
  file.skipped = read.skipped;
  if (read.end == import::ReadEnd::Unreadable) messages.error(unreadableMessage(kind_), {file.source});
  if (read.end == import::ReadEnd::Damaged)
    messages.error(MessageNumber::NotAMailbox, {file.source, import::MailerKinds::displayName(kind_)});
  return read.end == import::ReadEnd::Done && !failed;
}

bool TrayImport::readBecky(ImportedFile& file, const std::string& workFile) {
  core::Messages& messages = document_.messages();
  std::ofstream out(platform::nativePath(workFile), std::ios::binary | std::ios::trunc);
  if (!out) {
    messages.error(MessageNumber::ImportConversionRefused, {file.source});
    return false;
  }
  bool failed = false;
  const import::MailHandler each = [&](std::string_view text) {
    if (!nextMail(file)) return false;
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    failed = !out;
    if (failed) messages.error(MessageNumber::ReceiveDiskFull);
    return !failed;
  };
  import::BeckySettings settings{attachFolder_, store::TrayAttachments::root(document_.store(), file.tray),
                                 zoneHours_, [&](std::optional<std::time_t> date) {
                                   const bool admitted = import::ImportPeriod::admits(period_, date);
                                   if (!admitted) ++file.leftOut;
                                   return admitted;
                                 }};
  const import::ReadEnd end = import::BeckyConverter::convertFile(file.source, settings, messages, each);
  out.close();
  if (end == import::ReadEnd::Unreadable) messages.error(MessageNumber::ImportConversionRefused, {file.source});
  return end == import::ReadEnd::Done && !failed && !out.fail();
}

bool TrayImport::storeWorkFile(ImportedFile& file, const std::string& workFile) const {
  const auto size = platform::fileSize(workFile);
  if (!size || *size == 0) return true;
  const message::MailRecordParser parser(
      message::ParseContext::fromSettings(document_.settings(), std::time(nullptr)));
  const auto stored =
      store::WorkFileAppender::append(workFile, store::TrayFile(document_.store(), file.tray), parser);
  if (!stored) {
    document_.messages().error(MessageNumber::ImportConversionRefused, {file.source});
    return false;
  }
  file.firstIndex = stored->firstIndex;
  file.stored = stored->appended;
  return true;
}

}  // namespace zorvik::mailflow
