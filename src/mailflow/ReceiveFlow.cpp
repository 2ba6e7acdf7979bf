#include "mailflow/ReceiveFlow.h"

#include "core/SettingsItemTable.h"
#include "mailflow/DialUpScope.h"
#include "mailflow/Document.h"
#include "mailflow/SortFlow.h"
#include "mailflow/StoreLock.h"
#include "message/MimeDecoder.h"
#include "platform/FileSystem.h"
#include "store/TrayAttachments.h"

namespace zorvik::mailflow {
namespace {

message::MimeDecoderSettings decodingFor(const Document& document, const std::string& tray) {
  message::MimeDecoderSettings decoding = message::MimeDecoderSettings::fromSettings(document.settings());
  decoding.attachmentRoot = store::TrayAttachments::root(document.store(), tray);
  return decoding;
}

}  // namespace

ReceiveFlow::ReceiveFlow(const Document& document, FrontEnd& front)
    : document_(document),
      front_(front),
      tray_(StoreMailServerTray::ofDocument(document)),
      sink_(document.workFilePath(), decodingFor(document, document.settings().text(core::item::kNewMailTray)),
            document.messages()),
      session_(document.messages(), tray_, sink_),
      phase_(session_, tray_, sink_, document.messages(), ReceiveSettings::fromSettings(document.settings()),
             front.progress) {}

ReceiveReport ReceiveFlow::run(const Document& document, FrontEnd& front) {
  const auto lock = StoreLock::take(document, StoreWork::Receive);
  if (!lock) return {};
  const auto dialUp = DialUpScope::open(document, front);
  if (!dialUp) return {};
  return ReceiveFlow(document, front).receive();
}

ReceiveReport ReceiveFlow::receive() {
  if (!document_.mayWrite(document_.workFilePath()) || !WorkFileIntake::clearForNewMail(document_)) return {};
  return finish(phase_.run(&front_.stop));
}

ReceiveReport ReceiveFlow::continueListed() {
  phase_.takeOverListed();
  return finish(phase_.finish(&front_.stop));
}

bool ReceiveFlow::logIn() {
  core::Messages& messages = document_.messages();
  if (!session_.start(events(), ReceiveSettings::fromSettings(document_.settings()).pop)) return false;
  if (events().await(messages, {net::PopNotification::LoggedIn}) != net::PopNotification::LoggedIn) {
    session_.stop(true);
    return false;
  }
  session_.stop(false);
  return events().await(messages, {net::PopNotification::QuitFinished}) == net::PopNotification::QuitFinished;
}

ReceiveReport ReceiveFlow::finish(ReceiveResult result) {
  ReceiveReport report;
  report.phase = result;
  sink_.close();
  report.warnings = sink_.warnings();
  if (sink_.mailCount() == 0) {
    platform::removeFile(sink_.path());
    report.ok = !result.failed;
    return report;
  }
  report.stored = WorkFileIntake::move(document_);
  if (report.stored) report.sorted = SortFlow::afterIntake(document_, front_, *report.stored);
  report.ok = !result.failed && report.stored.has_value();
  return report;
}

}  // namespace zorvik::mailflow
