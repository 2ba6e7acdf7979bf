#include "net/ServerTrayOperations.h"

#include <algorithm>

#include "core/SettingsFile.h"
#include "core/SettingsItemTable.h"
#include "message/MimeDecoder.h"
#include "net/ReceiveCommand.h"
#include "platform/FileSystem.h"
#include "platform/TextEncoding.h"
#include "store/PostOpen.h"
#include "store/TrayAttachments.h"

namespace zorvik::net {
namespace {

constexpr auto kEventWait = std::chrono::seconds(1);

// "受信中：<n>/<of>" (Shift_JIS).
std::string receivingText(int done, int total) {
  static const std::string label = platform::utf8ToSjis("受信中：", "?");
  return label + std::to_string(done) + "/" + std::to_string(total);
}

message::MimeDecoderSettings decodingOf(const core::SettingsFile& settings, const store::StoreLocation& store) {
  message::MimeDecoderSettings decoding = message::MimeDecoderSettings::fromSettings(settings);
  decoding.attachmentRoot = store::TrayAttachments::root(store, settings.text(core::item::kNewMailTray));
  return decoding;
}

}  // namespace

struct ServerTrayOperations::Connection {
  Connection(const core::SettingsFile& settings, core::Messages& messages)
      : store(store::StoreLocation::fromSettings(settings)),
        tray(store, settings.text(core::item::kMailServerTray), message::ParseContext::fromSettings(settings, 0)),
        sink(store::workFileTextPath(settings), decodingOf(settings, store), messages),
        session(messages, tray, sink) {}

  store::StoreLocation store;
  StoreMailServerTray tray;
  WorkFileSink sink;
  PopSession session;
  ReceiveEventQueue events;
};

ServerTrayOperations::ServerTrayOperations(const core::SettingsFile& settings, core::Messages& messages,
                                           core::Progress& progress)
    : settings_(settings), messages_(messages), progress_(progress) {}

PopNotification ServerTrayOperations::await(Connection& connection,
                                            std::initializer_list<PopNotification> codes) {
  for (;;) {
    const auto event = connection.events.wait(messages_, kEventWait);
    if (!event) continue;
    if (event->code == PopNotification::Ended) return event->code;
    if (std::find(codes.begin(), codes.end(), event->code) != codes.end()) return event->code;
  }
}

bool ServerTrayOperations::open(Connection& connection) {
  if (!connection.session.start(connection.events, PopSettings::fromSettings(settings_))) return false;
  const bool listed = await(connection, {PopNotification::LoggedIn}) == PopNotification::LoggedIn &&
                      connection.session.listAll() &&
                      await(connection, {PopNotification::ListingFinished}) == PopNotification::ListingFinished;
  if (listed) return true;
  connection.session.stop(true);
  return false;
}

bool ServerTrayOperations::quit(Connection& connection) {
  connection.session.stop(false);
  return await(connection, {PopNotification::QuitFinished}) == PopNotification::QuitFinished;
}

ServerCounters ServerTrayOperations::countersOf(const PopSession& session) {
  return {session.count(), session.receivedCount(), session.unreadCount(), session.newCount()};
}

int ServerTrayOperations::entryOf(const PopSession& session, std::uint32_t trayIndex) {
  const std::vector<ServerMailEntry>& entries = session.entries();
  const auto match = std::find_if(entries.begin(), entries.end(), [trayIndex](const ServerMailEntry& entry) {
    return entry.addressable() && entry.trayIndex == static_cast<int>(trayIndex);
  });
  return match == entries.end() ? -1 : static_cast<int>(match - entries.begin());
}

std::optional<ServerCounters> ServerTrayOperations::list(bool cleanUp) {
  Connection connection(settings_, messages_);
  if (!open(connection)) return std::nullopt;
  ServerCounters counters = countersOf(connection.session);
  for (int index = 0; cleanUp && index < connection.session.count(); ++index) {
    const ServerMailEntry& entry = connection.session.entry(index);
    if (!entry.addressable() || entry.fetch || entry.trayIndex < 0) continue;
    if (!connection.session.deleteMail(index) ||
        await(connection, {PopNotification::Deleted}) != PopNotification::Deleted) {
      connection.session.stop(true);
      return std::nullopt;
    }
    connection.session.markDeleted(index);
    ++counters.deleted;
  }
  if (!quit(connection)) return std::nullopt;
  return counters;
}

std::optional<SelectionOutcome> ServerTrayOperations::fetchSelected(const std::vector<std::uint32_t>& trayIndices) {
  if (ReceiveCommand::workFileHoldsMail(settings_)) {
    messages_.error(ReceiveCommand::kWorkFileLeftMessage);
    return std::nullopt;
  }
  platform::removeFile(store::workFileTextPath(settings_));
  Connection connection(settings_, messages_);
  if (!open(connection)) return std::nullopt;
  SelectionOutcome outcome;
  outcome.selected = static_cast<int>(trayIndices.size());
  std::vector<int> received;
  bool failed = false;
  for (const std::uint32_t trayIndex : trayIndices) {
    const int index = entryOf(connection.session, trayIndex);
    if (index < 0) continue;
    ++outcome.matched;
    progress_.step(receivingText(outcome.done + 1, outcome.selected));
    if (!connection.session.fetch(index) ||
        await(connection, {PopNotification::MailReceived}) != PopNotification::MailReceived) {
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
  if (connection.sink.writeFailed()) messages_.error(ReceivePhase::kDiskFullMessage);
  if (connection.sink.mailCount() > 0) outcome.stored = ReceiveCommand::moveWorkFile(settings_, messages_);
  outcome.ok = outcome.ok && (connection.sink.mailCount() == 0 || outcome.stored.has_value());
  return outcome;
}

std::optional<SelectionOutcome> ServerTrayOperations::deleteSelected(const std::vector<std::uint32_t>& trayIndices) {
  Connection connection(settings_, messages_);
  if (!open(connection)) return std::nullopt;
  const bool deleteUnread = settings_.flag(kDeleteUnreadItem);
  SelectionOutcome outcome;
  outcome.selected = static_cast<int>(trayIndices.size());
  for (const std::uint32_t trayIndex : trayIndices) {
    const int index = entryOf(connection.session, trayIndex);
    if (index < 0) continue;
    ++outcome.matched;
    // A mail still to be fetched has never been received.
    if (connection.session.entry(index).fetch && !deleteUnread) continue;
    if (!connection.session.deleteMail(index) ||
        await(connection, {PopNotification::Deleted}) != PopNotification::Deleted) {
      connection.session.stop(true);
      return outcome;
    }
    connection.session.markDeleted(index);
    ++outcome.done;
  }
  outcome.ok = quit(connection);
  return outcome;
}

}  // namespace zorvik::net
