#include "mailflow/DeliverFlow.h"

#include "core/SettingsItemTable.h"
#include "mailflow/Document.h"
#include "mailflow/ReceivePhase.h"
#include "mailflow/SortFlow.h"
#include "mailflow/StoreLock.h"
#include "mailflow/WorkFileSink.h"
#include "message/MimeDecoder.h"
#include "net/ServerMailEntry.h"
#include "platform/FileSystem.h"
#include "store/TrayAttachments.h"
#include "store/TrayFile.h"

namespace zorvik::mailflow {

using core::MessageNumber;

namespace {

// Decodes every file into `sink`; what could not be read goes to `report`.
bool decodeAll(const Document& document, WorkFileSink& sink, const std::vector<std::string>& files,
               DeliveryReport& report) {
  bool allDecoded = true;
  for (const std::string& file : files) {
    const auto raw = platform::readFile(file);
    if (!raw) {
      report.unreadable.push_back(file);
      allDecoded = false;
      continue;
    }
    // The sink throws away what a mail it refuses had saved.
    const bool stored = sink.beginMail(-1, net::ServerMailEntry{}, false) &&
                        sink.appendMail(message::MimeDecoder::wireForm(*raw)) && sink.endMail();
    allDecoded = allDecoded && stored;
    // A full disk refuses every later mail too.
    if (sink.writeFailed()) {
      document.messages().error(MessageNumber::ReceiveDiskFull);
      return false;
    }
  }
  return allDecoded;
}

}  // namespace

std::optional<DeliveryReport> DeliverFlow::run(const Document& document, FrontEnd& front,
                                               const std::vector<std::string>& files, std::string tray) {
  const std::string newMailTray = document.settings().text(core::item::kNewMailTray);
  if (tray.empty()) tray = newMailTray;
  if (!store::TrayFile(document.store(), tray).exists()) return std::nullopt;
  const auto lock = StoreLock::take(document, StoreWork::Deliver);
  if (!lock) return std::nullopt;
  if (!document.mayWrite(document.workFilePath()) || !WorkFileIntake::clearForNewMail(document)) return std::nullopt;

  message::MimeDecoderSettings decoding = message::MimeDecoderSettings::fromSettings(document.settings());
  decoding.attachmentRoot = store::TrayAttachments::root(document.store(), tray);
  WorkFileSink sink(document.workFilePath(), decoding, document.messages());
  DeliveryReport report;
  const bool allDecoded = decodeAll(document, sink, files, report);
  sink.close();
  report.warnings = sink.warnings();
  if (sink.mailCount() == 0) {
    platform::removeFile(sink.path());
    report.ok = allDecoded;
    return report;
  }
  report.stored = WorkFileIntake::move(document, tray);
  if (report.stored && tray == newMailTray) report.sorted = SortFlow::afterIntake(document, front, *report.stored);
  report.ok = allDecoded && report.stored.has_value();
  return report;
}

}  // namespace zorvik::mailflow
