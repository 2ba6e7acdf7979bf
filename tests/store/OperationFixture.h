/// \file
/// A scratch store for the operation tests: settings that name it, the
/// trash and a few trays, a reporter that answers every question as told,
/// and helpers to store mails with attachment folders and to read counts
/// and links back from the files.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/Messages.h"
#include "core/SettingsFile.h"
#include "platform/FileLock.h"
#include "platform/FileSystem.h"
#include "store/LinkRecord.h"
#include "store/RecordFlags.h"
#include "store/TrayFile.h"
#include "support/RecordingReporter.h"
#include "support/TrayBuilder.h"

namespace zorvik::store {

class OperationFixture : public ::testing::Test {
protected:
  OperationFixture() {
    platform::FileLock::setRetry({3, std::chrono::milliseconds(1)});
    settings.setText(core::item::kStoreRoot, builder.store().root);
    settings.setText(core::item::kTopCabinet, builder.store().topCabinet);
    trash = settings.text(core::item::kTrashTray);
    builder.createTray(trash);
  }
  ~OperationFixture() override { platform::FileLock::setRetry({}); }

  const StoreLocation& store() const { return builder.store(); }
  TrayFile tray(const std::string& name) const { return builder.tray(name); }
  std::string topPath(const std::string& relative) const {
    return platform::joinPath(store().topCabinetPath(), relative);
  }
  std::string incPath(const std::string& folder) const { return topPath(".inc/" + folder); }

  /// Appends a mail with an attachment folder `folder` holding one file.
  std::uint32_t appendWithAttachment(const TrayFile& to, const std::string& subject, const std::string& folder) {
    platform::makeDirectories(incPath(folder));
    platform::writeFileAtomically(incPath(folder + "/a.txt"), "attached " + subject);
    MailText text = test::TrayBuilder::mail(subject);
    text.header.push_back("X-Zorvik-AttachDir: " + folder);
    IndexRecord record;
    record.setSubject(subject);
    record.setFlags(recordflag::kAttachments);
    record.setDate(1700000000);
    return *to.appendMail(text, record);
  }

  /// Live mail count, links included; -1 when the tray cannot be read.
  int live(const std::string& name) const {
    const auto count = tray(name).count(false);
    return count ? static_cast<int>(*count) : -1;
  }
  /// The subjects of the live rows, links read through.
  std::vector<std::string> subjects(const std::string& name) const {
    std::vector<std::string> out;
    auto reader = tray(name).reader();
    TrayRecord row;
    while (reader && reader->nextMail(row) == ReadResult::Live) out.emplace_back(row.record.subject());
    return out;
  }
  int references(const std::string& name, std::uint32_t index) const {
    TrayRecord row;
    if (tray(name).read(index, row) != ReadResult::Live) return -1;
    return row.record.referenceCount();
  }
  int boxes(core::MessageNumber number) const {
    return static_cast<int>(std::ranges::count(reporter.numbers(), number));
  }

  test::TrayBuilder builder;
  core::SettingsFile settings;
  std::string trash;
  test::RecordingReporter reporter{true};
  core::Messages messages{reporter};
};

}  // namespace zorvik::store
