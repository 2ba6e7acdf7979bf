#include "mailflow/AttachmentStripFlow.h"

#include "mailflow/Document.h"
#include "mailflow/MailRewrite.h"
#include "mailflow/StoreLock.h"
#include "message/AttachmentStripper.h"

namespace zorvik::mailflow {

std::optional<std::vector<StrippedMail>> AttachmentStripFlow::run(const Document& document, const std::string& tray,
                                                                  const std::vector<std::uint32_t>& indices) {
  const auto lock = StoreLock::take(document, StoreWork::StoreChange);
  if (!lock) return std::nullopt;
  std::vector<StrippedMail> results;
  for (const std::uint32_t index : indices) {
    StrippedMail stripped{index, tray, std::nullopt, 0};
    const auto mail = MailRewrite::read(document, tray, index);
    if (mail && !mail->writtenByUser()) {
      stripped.tray = mail->stored.tray;
      const message::MailLines lines = MailRewrite::linesOf(*mail);
      const message::MailLines rewritten = message::AttachmentStripper::strip(lines, &stripped.removed);
      const bool claimsFolder = !mail->record.attachmentFolder.empty();
      if (stripped.removed > 0 || claimsFolder) stripped.newIndex = MailRewrite::replace(document, *mail, rewritten);
    }
    results.push_back(stripped);
  }
  return results;
}

}  // namespace zorvik::mailflow
