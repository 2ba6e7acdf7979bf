#include "net/ReceiveCommand.h"

#include <ctime>

#include "core/SettingsFile.h"
#include "core/SettingsItemTable.h"
#include "message/MailRecordParser.h"
#include "message/MimeDecoder.h"
#include "platform/FileSystem.h"
#include "store/PartialJoiner.h"
#include "store/PostOpen.h"
#include "store/TrayAttachments.h"
#include "store/TrayFile.h"

namespace zorvik::net {
namespace {

// A work file this short holds no mail (as the start-up recovery judges).
constexpr std::uint64_t kEmptyWorkFileSize = 10;

}  // namespace

ReceiveCommand::ReceiveCommand(const core::SettingsFile& settings, core::Messages& messages,
                               core::Progress& progress)
    : settings_(settings), messages_(messages), progress_(progress) {}

bool ReceiveCommand::workFileHoldsMail(const core::SettingsFile& settings) {
  const auto size = platform::fileSize(store::workFileTextPath(settings));
  return size && *size > kEmptyWorkFileSize;
}

std::optional<store::WorkFileResult> ReceiveCommand::moveWorkFile(const core::SettingsFile& settings,
                                                                  core::Messages& messages,
                                                                  const std::string& trayName) {
  const store::StoreLocation store = store::StoreLocation::fromSettings(settings);
  const message::MailRecordParser parser(message::ParseContext::fromSettings(settings, std::time(nullptr)));
  const std::string target = trayName.empty() ? settings.text(core::item::kNewMailTray) : trayName;
  const auto result = store::WorkFileAppender::append(store::workFileTextPath(settings), store::TrayFile(store, target),
                                                      parser);
  if (!result) {
    messages.error(kMoveFailedMessage);
    return result;
  }
  if (result->fragment)
    store::PartialJoiner(store, store::JoinSettings::fromSettings(settings, store, target), parser, messages).join();
  return result;
}

ReceiveOutcome ReceiveCommand::run() {
  ReceiveOutcome outcome;
  if (workFileHoldsMail(settings_)) {
    messages_.error(kWorkFileLeftMessage);
    outcome.phase.failed = true;
    return outcome;
  }
  // A few bytes left by an earlier run are no mail; they would only stand
  // in front of the first separator.
  platform::removeFile(store::workFileTextPath(settings_));
  const store::StoreLocation store = store::StoreLocation::fromSettings(settings_);
  const std::string newMailTray = settings_.text(core::item::kNewMailTray);
  message::MimeDecoderSettings decoding = message::MimeDecoderSettings::fromSettings(settings_);
  decoding.attachmentRoot = store::TrayAttachments::root(store, newMailTray);

  StoreMailServerTray tray(store, settings_.text(core::item::kMailServerTray),
                           message::ParseContext::fromSettings(settings_, 0));
  WorkFileSink sink(store::workFileTextPath(settings_), decoding, messages_);
  PopSession session(messages_, tray, sink);
  ReceivePhase phase(session, tray, sink, messages_, ReceiveSettings::fromSettings(settings_), progress_);
  outcome.phase = phase.run();
  sink.close();
  outcome.warnings = sink.warnings();

  if (sink.mailCount() > 0) outcome.stored = moveWorkFile(settings_, messages_);
  else platform::removeFile(sink.path());
  outcome.ok = !outcome.phase.failed && (sink.mailCount() == 0 || outcome.stored.has_value());
  return outcome;
}

}  // namespace zorvik::net
