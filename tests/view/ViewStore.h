/// \file
/// A scratch store for the view tests: settings that name it, a reporter
/// that answers questions as told, and a helper that appends mails with
/// the record fields the list shows and sorts by.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "core/Messages.h"
#include "core/SettingsFile.h"
#include "platform/FileLock.h"
#include "platform/TextEncoding.h"
#include "store/TrayFile.h"
#include "support/RecordingReporter.h"
#include "support/TrayBuilder.h"

namespace zorvik::view {

struct MailFields {
  std::string name;     // UTF-8
  std::string subject;  // UTF-8
  std::int32_t date = 1700000000;
  std::uint32_t flags = 0;
  std::uint16_t own = 0;     // thread key number, 0 for none
  std::uint16_t parent = 0;
  std::uint32_t bodyLines = 2;
};

class ViewStore : public ::testing::Test {
protected:
  ViewStore() {
    platform::FileLock::setRetry({3, std::chrono::milliseconds(1)});
    settings.setText(core::item::kStoreRoot, builder.store().root);
    settings.setText(core::item::kTopCabinet, builder.store().topCabinet);
  }
  ~ViewStore() override { platform::FileLock::setRetry({}); }

  const store::StoreLocation& store() const { return builder.store(); }

  static store::ThreadKey key(std::uint16_t n) {
    return n == 0 ? store::ThreadKey{} : store::ThreadKey{n, 3, n, 5};
  }
  static std::string sjis(const std::string& utf8) { return platform::utf8ToSjis(utf8); }

  std::uint32_t append(const store::TrayFile& tray, const MailFields& fields) const {
    store::MailText text = test::TrayBuilder::mail(fields.subject);
    store::IndexRecord record;
    record.setListName(sjis(fields.name));
    record.setListAddress("a@example.jp");
    record.setSubject(sjis(fields.subject));
    record.setDate(fields.date);
    record.setFlags(fields.flags);
    record.setOwnKey(key(fields.own));
    record.setParentKey(key(fields.parent));
    record.setBodyLineCount(fields.bodyLines);
    return *tray.appendMail(text, record);
  }

  test::TrayBuilder builder;
  core::SettingsFile settings;
  test::RecordingReporter reporter{true};
  core::Messages messages{reporter};
};

}  // namespace zorvik::view
