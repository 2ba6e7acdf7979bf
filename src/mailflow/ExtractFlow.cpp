#include "mailflow/ExtractFlow.h"

#include <ctime>

#include "mailflow/Document.h"
#include "mailflow/MailRewrite.h"
#include "mailflow/StoreLock.h"
#include "message/BodyFileExtractor.h"
#include "platform/FileSystem.h"

namespace zorvik::mailflow {

using core::MessageNumber;

namespace {

// Takes back what an extraction that is not stored has saved.
void discard(const message::ExtractionResult& result) {
  for (const std::string& file : result.savedFiles) platform::removeFile(file);
  if (!result.createdFolder.empty()) platform::removeDirectory(result.createdFolder);
}

}  // namespace

std::optional<ExtractReport> ExtractFlow::run(const Document& document, const std::string& tray,
                                              std::uint32_t index) {
  const auto lock = StoreLock::take(document, StoreWork::StoreChange);
  if (!lock) return std::nullopt;
  const auto mail = MailRewrite::read(document, tray, index);
  if (!mail) return std::nullopt;
  core::Messages& messages = document.messages();
  const message::BodyFileExtractor extractor(mail->attachmentRoot, document.settings().timeZoneOffsetHours(),
                                             std::time(nullptr));
  const message::ExtractionResult result = extractor.extract(MailRewrite::linesOf(*mail));
  if (!result.failedPath.empty()) {
    discard(result);
    messages.error(MessageNumber::AttachmentNotExtracted, {result.failedPath});
    return std::nullopt;
  }
  if (result.savedFiles.empty()) {
    discard(result);
    messages.information(MessageNumber::NoAttachmentInBody);
    return std::nullopt;
  }
  if (result.uuencodeCut) messages.information(MessageNumber::UuencodeTruncated);
  if (result.base64Cut) messages.information(MessageNumber::Base64Truncated);
  const auto stored = MailRewrite::replace(document, *mail, result.mail);
  if (!stored) {
    discard(result);
    return std::nullopt;
  }
  return ExtractReport{mail->stored.tray, *stored, result.savedFiles};
}

}  // namespace zorvik::mailflow
