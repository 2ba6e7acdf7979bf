#include "mailflow/ServerTrayFlow.h"

#include <algorithm>

#include "core/SettingsItemTable.h"
#include "mailflow/DialUpScope.h"
#include "mailflow/Document.h"
#include "mailflow/ReceivePhase.h"
#include "mailflow/SortFlow.h"
#include "mailflow/StoreLock.h"
#include "mailflow/StoreMailServerTray.h"
#include "mailflow/WorkFileSink.h"
#include "message/MimeDecoder.h"
#include "net/ReceiveEventQueue.h"
#include "platform/FileSystem.h"
#include "platform/TextEncoding.h"
#include "store/TrayAttachments.h"

namespace zorvik::mailflow {

using core::MessageNumber;

namespace {

// "受信中：<n>/<of>" and "削除中：<n>/<of>" (Shift_JIS).
std::string countedText(const std::string& label, int done, int total) {
  return label + std::to_string(done) + "/" + std::to_string(total);
}

const std::string& receivingLabel() {
  static const std::string label = platform::utf8ToSjis("受信中：", "?");
  return label;
}

const std::string& deletingLabel() {
  static const std::string label = platform::utf8ToSjis("削除中：", "?");
  return label;
}

message::MimeDecoderSettings decodingOf(const Document& document) {
  message::MimeDecoderSettings decoding = message::MimeDecoderSettings::fromSettings(document.settings());
  decoding.attachmentRoot =
      store::TrayAttachments::root(document.store(), document.settings().text(core::item::kNewMailTray));
  return decoding;
}

}  // namespace

struct ServerTrayFlow::Connection {
  explicit Connection(const Document& document)
      : tray(StoreMailServerTray::ofDocument(document)),
        sink(document.workFilePath(), decodingOf(document), document.messages()),
        session(document.messages(), tray, sink) {}

  StoreMailServerTray tray;
  WorkFileSink sink;
  net::PopSession session;
  net::ReceiveEventQueue events;
};

ServerTrayFlow::ServerTrayFlow(const Document& document, FrontEnd& front) : document_(document), front_(front) {}

bool ServerTrayFlow::open(Connection& connection) {
  if (!connection.session.start(connection.events, net::PopSettings::fromSettings(document_.settings()))) return false;
  const bool listed = connection.events.await(document_.messages(), {net::PopNotification::LoggedIn}) == net::PopNotification::LoggedIn &&
                      connection.session.listAll() &&
                      connection.events.await(document_.messages(), {net::PopNotification::ListingFinished}) == net::PopNotification::ListingFinished;
  if (listed) return true;
  connection.session.stop(true);
  return false;
}

bool ServerTrayFlow::quit(Connection& connection) {
  connection.session.stop(false);
  return connection.events.await(document_.messages(), {net::PopNotification::QuitFinished}) == net::PopNotification::QuitFinished;
}

ServerCounters ServerTrayFlow::countersOf(const net::PopSession& session) {
  return {session.count(), session.receivedCount(), session.unreadCount(), session.newCount()};
}

int ServerTrayFlow::entryOf(const net::PopSession& session, std::uint32_t trayIndex) {
  const std::vector<net::ServerMailEntry>& entries = session.entries();
  const auto match = std::find_if(entries.begin(), entries.end(), [trayIndex](const net::ServerMailEntry& entry) {
    return entry.addressable() && entry.trayIndex == static_cast<int>(trayIndex);
  });
  return match == entries.end() ? -1 : static_cast<int>(match - entries.begin());
}

std::optional<ServerCounters> ServerTrayFlow::list(bool cleanUp) {
  const auto lock = StoreLock::take(document_, StoreWork::ServerTray);
  if (!lock) return std::nullopt;
  const auto dialUp = DialUpScope::open(document_, front_);
  if (!dialUp) return std::nullopt;
  Connection connection(document_);
  if (!open(connection)) return std::nullopt;
  ServerCounters counters = countersOf(connection.session);
  for (int index = 0; cleanUp && index < connection.session.count() && !front_.stop.requested(); ++index) {
    const net::ServerMailEntry& entry = connection.session.entry(index);
    if (!entry.addressable() || entry.fetch || entry.trayIndex < 0) continue;
    if (!connection.session.deleteMail(index) ||
        connection.events.await(document_.messages(), {net::PopNotification::Deleted}) != net::PopNotification::Deleted) {
      connection.session.stop(true);
      return std::nullopt;
    }
    connection.session.markDeleted(index);
    ++counters.deleted;
  }
  if (!quit(connection)) return std::nullopt;
  return counters;
}

std::optional<SelectionOutcome> ServerTrayFlow::fetchSelected(const std::vector<std::uint32_t>& trayIndices) {
  const auto lock = StoreLock::take(document_, StoreWork::ServerTray);
  if (!lock || !document_.mayWrite(document_.workFilePath()) || !WorkFileIntake::clearForNewMail(document_))
    return std::nullopt;
  const auto dialUp = DialUpScope::open(document_, front_);
  if (!dialUp) return std::nullopt;
  Connection connection(document_);
  if (!open(connection)) return std::nullopt;
  SelectionOutcome outcome;
  outcome.selected = static_cast<int>(trayIndices.size());
  std::vector<int> received;
  bool failed = false;
  for (const std::uint32_t trayIndex : trayIndices) {
    if (front_.stop.requested()) break;
    const int index = entryOf(connection.session, trayIndex);
    if (index < 0) continue;
    ++outcome.matched;
    front_.progress.step(countedText(receivingLabel(), outcome.done + 1, outcome.selected));
    if (!connection.session.fetch(index) ||
        connection.events.await(document_.messages(), {net::PopNotification::MailReceived}) != net::PopNotification::MailReceived) {
      failed = true;
      break;
    }
    received.push_back(index);
    ++outcome.done;
  }
  // Received marks only for mails that are on the disk for sure.
  if (!received.empty() && connection.sink.makeDurable())
    for (const int index : received) connection.session.markReceived(index);
  outcome.ok = !failed ? quit(connection) : (connection.session.stop(true), false);
  connection.sink.close();
  if (connection.sink.writeFailed()) document_.messages().error(MessageNumber::ReceiveDiskFull);
  if (connection.sink.mailCount() > 0) outcome.stored = WorkFileIntake::move(document_);
  if (outcome.stored) outcome.sorted = SortFlow::afterIntake(document_, front_, *outcome.stored);
  outcome.ok = outcome.ok && (connection.sink.mailCount() == 0 || outcome.stored.has_value());
  return outcome;
}

std::optional<SelectionOutcome> ServerTrayFlow::deleteSelected(const std::vector<std::uint32_t>& trayIndices) {
  const auto lock = StoreLock::take(document_, StoreWork::ServerTray);
  if (!lock) return std::nullopt;
  const auto dialUp = DialUpScope::open(document_, front_);
  if (!dialUp) return std::nullopt;
  Connection connection(document_);
  if (!open(connection)) return std::nullopt;
  const bool deleteUnread = document_.settings().flag(core::item::kDeleteUnread);
  SelectionOutcome outcome;
  outcome.selected = static_cast<int>(trayIndices.size());
  for (const std::uint32_t trayIndex : trayIndices) {
    if (front_.stop.requested()) break;
    const int index = entryOf(connection.session, trayIndex);
    if (index < 0) continue;
    ++outcome.matched;
    // A mail still to be fetched has never been received.
    if (connection.session.entry(index).fetch && !deleteUnread) continue;
    front_.progress.step(countedText(deletingLabel(), outcome.done + 1, outcome.selected));
    if (!connection.session.deleteMail(index) ||
        connection.events.await(document_.messages(), {net::PopNotification::Deleted}) != net::PopNotification::Deleted) {
      connection.session.stop(true);
      return outcome;
    }
    connection.session.markDeleted(index);
    ++outcome.done;
  }
  outcome.ok = quit(connection);
  return outcome;
}

}  // namespace zorvik::mailflow
