/// \file
/// A store with its system trays and unsent mails for the send tests, and
/// the pieces a send phase runs on: a poll loop, a real socket, a recording
/// reporter. Mails are stored in the unsent tray exactly as the compose
/// window stores them, with the fields the tests need to choose (owner
/// tray, the Cc/Bcc attachment switches, split size).
#pragma once

#include <cstdint>
#include <ctime>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/Messages.h"
#include "core/SettingsFile.h"
#include "core/SettingsItemTable.h"
#include "message/ComposedHeaderWriter.h"
#include "message/MailRecord.h"
#include "message/MailRecordParser.h"
#include "net/AsyncSocket.h"
#include "net/PollEventLoop.h"
#include "mailflow/SendPhase.h"
#include "mailflow/SentMailPlacement.h"
#include "platform/FileSystem.h"
#include "platform/TextEncoding.h"
#include "store/MailRecordIndex.h"
#include "store/StoreLayout.h"
#include "store/TrayFile.h"
#include "store/TrayReader.h"
#include "support/FakeClock.h"
#include "support/RecordingReporter.h"
#include "support/TestEnvironment.h"

namespace zorvik::test {

struct UnsentMail {
  std::string to = "hanako@example.jp";
  std::string cc{};
  std::string bcc{};
  std::string subject = "hello";
  std::vector<std::string> body = {"line 1", "line 2"};
  std::string ownerTray{};  // the tray the mail was written from
  bool ccWithoutAttachments = false;
  bool bccWithoutAttachments = false;
  std::int32_t splitKilobytes = 0;
};

class SendTestStore {
public:
  SendTestStore() {
    settings.setText(core::item::kStoreRoot, scratch.file("store"));
    settings.setText(core::item::kSenderName, "Taro");
    settings.setText(core::item::kSenderAddress, "taro@example.jp");
    settings.setText(core::item::kSmtpServer, "127.0.0.1");
    settings.setNumber(core::item::kSmtpReceiveTimeout, 30);
    settings.setNumber(core::item::kSmtpSendTimeout, 30);
    settings.setText(core::item::kSmtpHeloName, "client.test");
    settings.updateDerivedValues();
    if (!store::createStore(settings)) throw std::runtime_error("store not created");
    location = store::StoreLocation::fromSettings(settings);
  }

  std::string tray(int item) const { return settings.text(item); }
  std::string unsent() const { return tray(core::item::kUnsentTray); }
  std::string sent() const { return tray(core::item::kSentTray); }
  std::string trash() const { return tray(core::item::kTrashTray); }

  /// Stores `mail` at the end of the unsent tray; returns its index.
  std::uint32_t add(const UnsentMail& mail) {
    const std::string draft = scratch.file("draft" + std::to_string(drafts_++));
    std::string text;
    for (const auto& line : mail.body) text += line + "\n";
    platform::writeFileAtomically(draft, text);
    message::MailRecord record;
    record.date = 1'765'000'000;
    record.subject = mail.subject;
    record.to = mail.to;
    record.cc = mail.cc;
    record.bcc = mail.bcc;
    record.internalText = mail.ownerTray;
    record.internalNumber = mail.splitKilobytes;
    if (mail.ccWithoutAttachments) record.flags |= message::mailflag::kSwitch1;
    if (mail.bccWithoutAttachments) record.flags |= message::mailflag::kSwitch2;
    const store::TrayFile tray(location, unsent());
    const auto index = store::MailRecordIndex::appendComposed(
        tray, record, draft, message::ComposeSettings::fromSettings(settings, record.date), parser());
    if (!index) throw std::runtime_error("mail not stored");
    return *index;
  }

  /// A file below the scratch folder with `content`; its path.
  std::string file(const std::string& name, const std::string& content) const {
    const std::string path = scratch.file(name);
    platform::writeFileAtomically(path, content);
    return path;
  }

  /// Subjects of the live records of `name` ("->" in front of a link's).
  std::vector<std::string> subjects(const std::string& name) const {
    std::vector<std::string> found;
    auto reader = store::TrayReader::open(location, name);
    if (!reader) return found;
    store::TrayRecord record;
    while (reader->nextMail(record) != store::ReadResult::End)
      found.push_back((record.isLink() ? "->" : "") + std::string(record.record.subject()));
    return found;
  }

  const message::MailRecordParser& parser() {
    if (!parser_) parser_.emplace(message::ParseContext::fromSettings(settings, 1'765'000'000));
    return *parser_;
  }

  /// The numbers R of the messages shown so far.
  std::vector<core::MessageNumber> shown() const { return reporter.numbers(); }

  std::unique_ptr<mailflow::SendPhase> sendPhase(std::uint16_t port) {
    settings.setNumber(core::item::kSmtpPort, port);
    return std::make_unique<mailflow::SendPhase>(loop, socket, location, parser(), messages,
                                            mailflow::SendSettings::fromSettings(settings, location));
  }

  mailflow::PlacementSettings placementSettings() const { return mailflow::PlacementSettings::fromSettings(settings); }

  /// Runs a send phase to its end.
  std::optional<mailflow::SendResult> runSend(mailflow::SendPhase& phase) {
    std::optional<mailflow::SendResult> result;
    if (!phase.start([&result](const mailflow::SendResult& r) { result = r; })) return std::nullopt;
    loop.runUntil([&result] { return result.has_value(); }, std::chrono::seconds(20));
    return result;
  }

  ScratchDir scratch;
  core::SettingsFile settings;
  store::StoreLocation location;
  RecordingReporter reporter;
  core::Messages messages{reporter};
  FakeClock clock;
  net::PollEventLoop loop{clock};
  net::AsyncSocket socket{loop};

private:
  std::optional<message::MailRecordParser> parser_;
  int drafts_ = 0;
};

}  // namespace zorvik::test
