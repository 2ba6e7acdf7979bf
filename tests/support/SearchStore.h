/// \file
/// A store for the search tests, written the way Zorvik stores mail:
/// nested cabinets, trays of mails with real header lines (Shift_JIS,
/// CR LF), dates, marks and read states, a deleted mail, link rows, the
/// mail-server tray and a search-results tray left out of searches. Names
/// and texts are given in UTF-8.
///
///   1受信            0 "予算の件" (unread)   1 "hello" (read)   2 deleted
///   2仕事/1会議       0 "定例会議", X-Mailer "予算君" (read)
///   2仕事/2案件/見積  0 "見積書送付", body line 3 "予算は100万円です。"
///   2仕事/3連絡       0 a link to 1受信 0
///   3家族            0 "旅行" (unread)
///   メールサーバ      0 "予算" (the mail-server tray: never searched)
///   検索結果          0 a link to 見積 0 (left out of searches)
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "store/StoreLocation.h"

namespace zorvik::test {

struct TestMail {
  std::string subject;
  std::string from = "sender@example.jp";
  std::string to = "me@example.jp";
  std::vector<std::string> body;
  std::vector<std::string> extraHeader;  // whole lines, "X-Mailer: ..."
  std::int32_t date = 1796605200;        // 2026-12-07 10:00 in Japan
  bool opened = false;
  int mark = 0;
};

/// Appends `mail` to `tray` (made, with its cabinets, when missing);
/// returns its index.
std::uint32_t storeMail(const store::StoreLocation& store, const std::string& tray, const TestMail& mail);

/// Appends a link to mail `index` of `target` to `tray`.
std::uint32_t storeLink(const store::StoreLocation& store, const std::string& tray, const std::string& target,
                        std::uint32_t index);

/// Builds the store drawn above (the mail-server tray named "メールサーバ",
/// the search results "検索結果", as the settings name them by default).
void buildSearchStore(const store::StoreLocation& store);

/// "tray#index" in UTF-8.
std::string mailName(const std::string& traySjis, std::uint32_t index);

}  // namespace zorvik::test
