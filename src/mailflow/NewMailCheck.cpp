#include "mailflow/NewMailCheck.h"

#include "mailflow/DialUpScope.h"
#include "mailflow/Document.h"
#include "mailflow/ReceiveFlow.h"
#include "mailflow/SendFlow.h"
#include "mailflow/StoreLock.h"
#include "core/SettingsItemTable.h"
#include "net/PopSettings.h"
#include "platform/TextEncoding.h"

namespace zorvik::mailflow {
namespace {

// Logs in and lists every header; false (the session ended) otherwise.
bool logInAndList(const Document& document, ReceiveFlow& flow) {
  net::PopSession& session = flow.session();
  core::Messages& messages = document.messages();
  if (!session.start(flow.events(), net::PopSettings::fromSettings(document.settings()))) return false;
  const bool listed =
      flow.events().await(messages, {net::PopNotification::LoggedIn}) == net::PopNotification::LoggedIn &&
      session.listAll() &&
      flow.events().await(messages, {net::PopNotification::ListingFinished}) == net::PopNotification::ListingFinished;
  if (!listed) session.stop(true);
  return listed;
}

}  // namespace

bool NewMailCheck::due(const Document& document, bool popConnectionActive) {
  if (!DriverSettings::fromSettings(document.settings()).popAccountComplete || popConnectionActive) return false;
  // Item 907: no check dials a connection that is down.
  return !document.settings().flag(core::item::kNoCheckWhileOffline) ||
         DialUpScope::connected(document).value_or(true);
}

CheckReport NewMailCheck::run(const Document& document, FrontEnd& front, bool receiveNewMail) {
  CheckReport report;
  const auto lock = StoreLock::take(document, StoreWork::SendReceive);
  if (!lock) return report;
  const auto dialUp = DialUpScope::open(document, front);
  if (!dialUp) return report;
  ReceiveFlow flow(document, front);
  if (!logInAndList(document, flow)) return report;
  report.counters = ServerTrayFlow::countersOf(flow.session());
  front.progress.step(titleText(*report.counters));
  if (receiveNewMail && report.counters->newCount + report.counters->unread > 0) {
    report.sendReceive = SendFlow::runLocked(document, front, SessionDriver::Command::SendAndReceive, &flow);
    return report;
  }
  flow.session().stop(false);
  flow.events().await(document.messages(), {net::PopNotification::QuitFinished});
  return report;
}

std::string NewMailCheck::titleText(const ServerCounters& counters) {
  return platform::sjisLiteral("新着チェック： 件数 ") + std::to_string(counters.serverCount) +
         platform::sjisLiteral(", 既読 ") + std::to_string(counters.alreadyReceived) +
         platform::sjisLiteral(", 未読 ") + std::to_string(counters.unread) + platform::sjisLiteral(", 新着 ") +
         std::to_string(counters.newCount);
}

}  // namespace zorvik::mailflow
