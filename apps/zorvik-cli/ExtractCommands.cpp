// extract TRAY INDEX: the files kept as text in a mail (uuencoded, base64)
// saved into its attachment folder and replaced by reference lines; prints
// the rewritten mail's index and each file's path.
//
// strip-attachments TRAY INDEX...: the mails' attachments replaced by
// notes; prints each index, the rewritten mail's index ("-" when the mail
// was passed over) and how many references became notes.
#include <string>
#include <vector>

#include "CliCommand.h"
#include "mailflow/AttachmentStripFlow.h"
#include "mailflow/ExtractFlow.h"

namespace zorvik::cli {
namespace {

int extract(CliContext& context) {
  const auto& args = context.args();
  const auto index = args.size() == 2 ? recordIndex(args[1]) : std::nullopt;
  if (!index) return context.usage("usage: extract TRAY INDEX");
  auto* const open = context.document();
  if (!open) return kFailed;
  const auto report = mailflow::ExtractFlow::run(*open, args[0], *index);
  if (!report) return kFailed;
  for (const std::string& file : report->files) context.printRow({std::to_string(report->index), file});
  return kDone;
}

int stripAttachments(CliContext& context) {
  const auto& args = context.args();
  const auto indices = args.size() >= 2 ? recordIndices({args.begin() + 1, args.end()}) : std::nullopt;
  if (!indices) return context.usage("usage: strip-attachments TRAY INDEX...");
  auto* const open = context.document();
  if (!open) return kFailed;
  const auto stripped = mailflow::AttachmentStripFlow::run(*open, args[0], *indices);
  if (!stripped) return kFailed;
  for (const mailflow::StrippedMail& mail : *stripped) {
    context.printRow({std::to_string(mail.index), mail.newIndex ? std::to_string(*mail.newIndex) : "-",
                      std::to_string(mail.removed)});
  }
  return kDone;
}

}  // namespace

ZORVIK_CLI_COMMAND("extract", "TRAY INDEX", extract);
ZORVIK_CLI_COMMAND("strip-attachments", "TRAY INDEX...", stripAttachments);

}  // namespace zorvik::cli
