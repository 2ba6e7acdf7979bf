/// \file
/// A store for the sorting tests: trays with rules, a new-mail tray that
/// mails are delivered into with real headers, a recording reporter, sound
/// and clock, and readers for what ended where.
#pragma once

#include <gtest/gtest.h>

#include <mutex>
#include <string>
#include <vector>

#include "core/Messages.h"
#include "message/MailRecordParser.h"
#include "platform/FileSystem.h"
#include "platform/Sound.h"
#include "platform/TextEncoding.h"
#include "sorting/SortEnvironment.h"
#include "store/MailRecordIndex.h"
#include "store/TrayFlags.h"
#include "support/FakeClock.h"
#include "support/RecordingReporter.h"
#include "support/TrayBuilder.h"

namespace zorvik::sorting {

class RecordingSound : public platform::Sound {
public:
  void beep(std::uint32_t type) override { record("beep " + std::to_string(type)); }
  void playWave(const std::string& path) override { record("wave " + path); }
  std::vector<std::string> played() {
    const std::lock_guard lock(mutex_);
    return played_;
  }

private:
  void record(std::string what) {
    const std::lock_guard lock(mutex_);
    played_.push_back(std::move(what));
  }
  std::mutex mutex_;
  std::vector<std::string> played_;
};

struct SortingScene {
  test::TrayBuilder builder;
  test::RecordingReporter reporter{true};
  core::Messages messages{reporter};
  RecordingSound sound;
  test::FakeClock clock;
  SortEnvironment environment;
  const std::string newMail = platform::sjisLiteral("新着受信");

  SortingScene() {
    environment.store = builder.store();
    environment.newMailTray = newMail;
    environment.trashTray = "Trash";
    environment.rules.zoneHours = 9;
    environment.parse.userAddress = "me@example.jp";
    environment.parse.zoneHours = 9;
    environment.logPath = platform::joinPath(builder.store().root, "sorting.log");
    environment.journalPath = platform::joinPath(builder.store().root, ".journal");
    builder.createTray(newMail);
    builder.createTray("Trash");
    clock.setUnixTime(1796603400);  // 2026-12-07 00:30 UTC, 09:30 in Japan
  }

  // A tray with a rule; cabinets on its path are made.
  void tray(const std::string& name, const std::string& keyword, const std::string& expression = {},
            const std::string& group = {}, std::uint32_t flags = store::trayflag::kAutoSort,
            const std::string& arrivalSound = "0x10") const {
    if (name.find('/') != std::string::npos)
      platform::makeDirectories(platform::joinPath(builder.store().topCabinetPath(), platform::directoryOf(name)));
    const store::TrayFile file = builder.createTray(name);
    store::TrayProperties properties = *file.properties();
    properties.sortKeyword = keyword;
    properties.sortExpression = expression;
    properties.sendGroupTo = group;
    properties.flags = flags;
    properties.soundFile = arrivalSound;
    ASSERT_TRUE(file.rewriteProperties(properties));
  }

  // Appends a received mail (UTF-8 Subject) to `trayName` as a receive stores it: its
  // header lines, a body, and the record parsed from the header.
  std::uint32_t deliver(const std::string& subject, const std::string& from = "stranger@example.com",
                        const std::string& id = {}, std::uint32_t extraFlags = 0,
                        const std::string& trayName = {}) const {
    static int serial = 0;
    const std::string messageId = id.empty() ? "m" + std::to_string(++serial) + "@example.com" : id;
    store::MailText text;
    text.separator = "From  ";
    // The user's own mails go to a friend; the others come to the user.
    const std::string to = from == environment.parse.userAddress ? "friend@example.jp" : "me@example.jp";
    text.header = {"From: " + from, "To: " + to, "Subject: " + platform::utf8ToSjis(subject), "Message-Id: <" + messageId + ">",
                   "Date: Mon, 07 Dec 2026 09:" + std::to_string(10 + serial % 40) + ":00 +0900"};
    text.body = {"body of " + messageId};
    message::MailRecord mail;
    const message::MailRecordParser parser(environment.parse);
    std::string header;
    for (const auto& line : text.header) header += line + "\r\n";
    parser.reparse(mail, header);
    mail.flags |= extraFlags;
    const auto index = builder.tray(trayName.empty() ? newMail : trayName)
                           .appendMail(text, store::MailRecordIndex::toIndex(mail));
    EXPECT_TRUE(index);
    return index.value_or(0);
  }

  // The Subjects (UTF-8) of the stored (not link) live mails of a tray, in order.
  std::vector<std::string> subjects(const std::string& trayName) const {
    std::vector<std::string> found;
    auto reader = builder.tray(trayName).reader();
    store::TrayRecord row;
    while (reader && reader->nextMail(row) == store::ReadResult::Live)
      if (!row.isLink()) found.push_back(platform::sjisToUtf8(std::string(row.record.subject())));
    return found;
  }

  // Live link rows of a tray, as "tray#index" of the mail they reach.
  std::vector<std::string> links(const std::string& trayName) const {
    std::vector<std::string> found;
    auto reader = builder.tray(trayName).reader();
    store::TrayRecord row;
    while (reader && reader->nextMail(row) == store::ReadResult::Live)
      if (row.isLink()) found.push_back(row.linkTarget + "#" + std::to_string(row.linkIndex));
    return found;
  }

  // The log's lines in UTF-8, without their CR LF.
  std::vector<std::string> logLines() const {
    std::vector<std::string> lines;
    std::string text = platform::sjisToUtf8(test::TrayBuilder::bytes(environment.logPath));
    for (std::size_t end; (end = text.find("\r\n")) != std::string::npos; text.erase(0, end + 2))
      lines.push_back(text.substr(0, end));
    return lines;
  }

  std::vector<std::string> boxTexts() const {
    std::vector<std::string> texts;
    for (const auto& box : reporter.boxes()) texts.push_back(platform::sjisToUtf8(box.text));
    return texts;
  }
};

}  // namespace zorvik::sorting
