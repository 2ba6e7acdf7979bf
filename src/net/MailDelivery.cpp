#include "net/MailDelivery.h"

#include "core/SettingsFile.h"
#include "core/SettingsItemTable.h"
#include "message/MimeDecoder.h"
#include "net/ReceiveCommand.h"
#include "net/ReceivePhase.h"
#include "net/ServerMailEntry.h"
#include "net/WorkFileSink.h"
#include "platform/FileSystem.h"
#include "store/PostOpen.h"
#include "store/TrayAttachments.h"
#include "store/TrayFile.h"

namespace zorvik::net {

MailDelivery::MailDelivery(const core::SettingsFile& settings, core::Messages& messages)
    : settings_(settings), messages_(messages) {}

std::optional<DeliveryOutcome> MailDelivery::deliver(const std::vector<std::string>& files,
                                                     std::string trayName) const {
  const store::StoreLocation store = store::StoreLocation::fromSettings(settings_);
  if (trayName.empty()) trayName = settings_.text(core::item::kNewMailTray);
  if (!store::TrayFile(store, trayName).exists()) return std::nullopt;
  if (ReceiveCommand::workFileHoldsMail(settings_)) {
    messages_.error(ReceiveCommand::kWorkFileLeftMessage);
    return std::nullopt;
  }
  // A few bytes left by an earlier run are no mail; they would only stand
  // in front of the first separator.
  platform::removeFile(store::workFileTextPath(settings_));

  message::MimeDecoderSettings decoding = message::MimeDecoderSettings::fromSettings(settings_);
  decoding.attachmentRoot = store::TrayAttachments::root(store, trayName);
  WorkFileSink sink(store::workFileTextPath(settings_), decoding, messages_);
  DeliveryOutcome outcome;
  bool allDecoded = true;
  for (const std::string& file : files) {
    const auto raw = platform::readFile(file);
    if (!raw) {
      outcome.unreadable.push_back(file);
      allDecoded = false;
      continue;
    }
    // The sink throws away what a mail it refuses had saved.
    const bool stored = sink.beginMail(-1, ServerMailEntry{}, false) &&
                        sink.appendMail(message::MimeDecoder::wireForm(*raw)) && sink.endMail();
    allDecoded = allDecoded && stored;
    // A full disk refuses every later mail too.
    if (sink.writeFailed()) {
      messages_.error(ReceivePhase::kDiskFullMessage);
      break;
    }
  }
  sink.close();
  outcome.warnings = sink.warnings();

  if (sink.mailCount() > 0) outcome.stored = ReceiveCommand::moveWorkFile(settings_, messages_, trayName);
  else platform::removeFile(sink.path());
  outcome.ok = allDecoded && !sink.writeFailed() && (sink.mailCount() == 0 || outcome.stored.has_value());
  return outcome;
}

}  // namespace zorvik::net
