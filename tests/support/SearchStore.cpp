#include "support/SearchStore.h"

#include <stdexcept>

#include "platform/FileSystem.h"
#include "platform/TextEncoding.h"
#include "store/RecordFlags.h"
#include "store/TrayFile.h"
#include "store/TrayFlags.h"

namespace zorvik::test {
namespace {

store::TrayFile trayOf(const store::StoreLocation& store, const std::string& utf8) {
  const store::TrayFile tray(store, platform::utf8ToSjis(utf8));
  if (tray.exists()) return tray;
  platform::makeDirectories(platform::joinPath(store.topCabinetPath(), platform::directoryOf(tray.name())));
  if (!tray.create(store::TrayProperties{})) throw std::runtime_error("cannot create tray " + utf8);
  return tray;
}

}  // namespace

std::uint32_t storeMail(const store::StoreLocation& store, const std::string& tray, const TestMail& mail) {
  store::MailText text;
  text.separator = "From " + mail.from;
  text.header = {"From: " + platform::utf8ToSjis(mail.from), "To: " + platform::utf8ToSjis(mail.to),
                 "Subject: " + platform::utf8ToSjis(mail.subject),
                 "Message-Id: <" + std::to_string(mail.date) + "@example.jp>"};
  for (const std::string& line : mail.extraHeader) text.header.push_back(platform::utf8ToSjis(line));
  for (const std::string& line : mail.body) text.body.push_back(platform::utf8ToSjis(line));
  store::IndexRecord record;
  record.setSubject(platform::utf8ToSjis(mail.subject));
  record.setDate(mail.date);
  std::uint32_t flags = mail.opened ? store::recordflag::kOpened : 0;
  record.setFlags(store::recordflag::withMark(flags, mail.mark));
  const auto index = trayOf(store, tray).appendMail(text, record);
  if (!index) throw std::runtime_error("cannot append to " + tray);
  return *index;
}

std::uint32_t storeLink(const store::StoreLocation& store, const std::string& tray, const std::string& target,
                        std::uint32_t index) {
  std::uint32_t at = 0;
  if (trayOf(store, target).linkInto(index, trayOf(store, tray), &at) != store::LinkResult::Done)
    throw std::runtime_error("cannot link into " + tray);
  return at;
}

void buildSearchStore(const store::StoreLocation& store) {
  storeMail(store, "1受信",
            {.subject = "予算の件",
             .from = "田中 <tanaka@example.jp>",
             .body = {"お疲れさまです。", "来期の予算について。"}});
  storeMail(store, "1受信", {.subject = "hello", .body = {"nothing here"}, .opened = true});
  const std::uint32_t deleted = storeMail(store, "1受信", {.subject = "消した予算", .body = {"予算"}});
  trayOf(store, "1受信").changeFlags(deleted, store::recordflag::kDeleted, true);
  storeMail(store, "2仕事/1会議", {.subject = "定例会議", .extraHeader = {"X-Mailer: 予算君"}, .opened = true});
  storeMail(store, "2仕事/2案件/見積",
            {.subject = "見積書送付", .body = {"お世話になります。", "", "予算は100万円です。"}});
  storeLink(store, "2仕事/3連絡", "1受信", 0);
  storeMail(store, "3家族", {.subject = "旅行", .body = {"予定なし"}});
  storeMail(store, "メールサーバ", {.subject = "予算"});
  const store::TrayFile results = trayOf(store, "検索結果");
  store::TrayProperties properties = *results.properties();
  properties.flags |= store::trayflag::kNoSearch;
  results.rewriteProperties(properties);
  storeLink(store, "検索結果", "2仕事/2案件/見積", 0);
}

std::string mailName(const std::string& traySjis, std::uint32_t index) {
  return platform::sjisToUtf8(traySjis) + "#" + std::to_string(index);
}

}  // namespace zorvik::test
