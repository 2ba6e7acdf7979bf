// compact, rebuild, empty-trash, clean-attachments: tidying the store under
// its lock.
#include <string>

#include "StoreOperations.h"
#include "mailflow/TrayMaintenance.h"
#include "store/AttachmentCleanup.h"

namespace zorvik::cli {

namespace {

int reportMaintenance(CliContext& context, const mailflow::MaintenanceReport& report) {
  reportMissed(context, report.missed);
  return report.ok ? kDone : kFailed;
}

using TrayWork = mailflow::MaintenanceReport (*)(const mailflow::Document&, const std::string&);

// A command that rewrites one tray: `verb TRAY`.
int rewriteTray(CliContext& context, const std::string& verb, TrayWork work) {
  if (context.args().size() != 1) return context.usage("usage: " + verb + " TRAY");
  auto* const opened = context.document();
  if (!opened) return kFailed;
  const auto report = work(*opened, context.args()[0]);
  if (!report.ok) context.status("zorvik-cli: cannot " + verb + " " + context.args()[0]);
  return reportMaintenance(context, report);
}

int compact(CliContext& context) { return rewriteTray(context, "compact", &mailflow::TrayMaintenance::compact); }

// The tray's text file is all it needs: a tray whose index was lost is
// accepted, though the tree no longer shows it.
int rebuild(CliContext& context) { return rewriteTray(context, "rebuild", &mailflow::TrayMaintenance::rebuild); }

int emptyTrash(CliContext& context) {
  if (!context.args().empty()) return context.usage("usage: empty-trash");
  auto* const opened = context.document();
  if (!opened) return kFailed;
  return reportMaintenance(context, mailflow::TrayMaintenance::emptyTrash(*opened));
}

int cleanAttachments(CliContext& context) {
  if (!context.args().empty()) return context.usage("usage: clean-attachments");
  auto* const opened = context.document();
  if (!opened) return kFailed;
  const store::AttachmentCleanup cleanup(opened->store(), opened->settings().workingDirectories().newMailWorkFile);
  const auto names = cleanup.unreferenced();
  if (names.empty()) {
    context.status(store::AttachmentCleanup::noneText());
    return kDone;
  }
  context.status(store::AttachmentCleanup::questionText(names));
  for (const std::string& name : names) context.printRow({name});
  if (!context.answerYes()) return kDone;
  return cleanup.remove(names) == names.size() ? kDone : kFailed;
}

}  // namespace

ZORVIK_CLI_COMMAND("compact", "TRAY", compact);
ZORVIK_CLI_COMMAND("rebuild", "TRAY", rebuild);
ZORVIK_CLI_COMMAND("empty-trash", "", emptyTrash);
ZORVIK_CLI_COMMAND("clean-attachments", "", cleanAttachments);

}  // namespace zorvik::cli
