/// \file
/// The bits of a tray's flags word (tray property 1002) and their names.
///
/// This is the one place where the bit positions are fixed. Three things are
/// given from outside and must stay as they are, because stored index heads
/// and property files carry them:
///  - 0x2 (the tray may be deleted) and 0x4 (its mails may be deleted at once);
///  - the word of an ordinary new tray, 0x0000CE34;
///  - the system-tray rule: (flags & 0xFFD1000C) | 0x00010008, then 0x00100000
///    for the mail server, search results and trash trays.
/// The other positions follow from those: the bits an ordinary tray starts
/// with are switches that are on by default, the bits the system-tray rule
/// keeps or sets are the ones that make sense for system trays (0x8 marks a
/// system tray, 0x10000 keeps its name from acting as a sorting keyword,
/// 0x100000 leaves it out of searches).
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace zorvik::store::trayflag {

inline constexpr std::uint32_t kDeleteTray = 0x00000002;       // ﾄﾚｲの削除可能
inline constexpr std::uint32_t kDeleteMails = 0x00000004;      // ﾒｰﾙの一括削除可能
inline constexpr std::uint32_t kSystem = 0x00000008;           // ｼｽﾃﾑ定義: a system tray
inline constexpr std::uint32_t kAutoSort = 0x00000010;         // 受信ﾒｰﾙを自動的に振分ける
inline constexpr std::uint32_t kSendGroup = 0x00000020;        // 送信ｸﾞﾙｰﾌﾟを受信振分に適用する
inline constexpr std::uint32_t kLeaveLink = 0x00000040;        // 振分時に「新着受信」ﾄﾚｲにﾘﾝｸを残す
inline constexpr std::uint32_t kSentAutoSort = 0x00000100;     // 送信ﾒｰﾙを自動的に振分ける
inline constexpr std::uint32_t kSentLink = 0x00000200;         // 送信ﾒｰﾙ振分時に「送信済み」ﾄﾚｲにﾘﾝｸを残す
inline constexpr std::uint32_t kSendToAll = 0x00000400;        // 送信ｸﾞﾙｰﾌﾟ: 全員に送付
inline constexpr std::uint32_t kAddRecipients = 0x00000800;    // 初めての宛先を送信ｸﾞﾙｰﾌﾟに自動追加
inline constexpr std::uint32_t kNoKeepSent = 0x00001000;       // 送信ﾒｰﾙを保存しない
inline constexpr std::uint32_t kSplit = 0x00002000;            // 分割メール送信
inline constexpr std::uint32_t kReplyTo = 0x00004000;          // add the tray's Reply-To when composing
inline constexpr std::uint32_t kOrganization = 0x00008000;     // add Organization when composing
inline constexpr std::uint32_t kNoNameKeyword = 0x00010000;    // the tray name is never its keyword
inline constexpr std::uint32_t kNoSubjectKeyword = 0x00020000; // no "[keyword]" before the subject
inline constexpr std::uint32_t kNoCcAttachments = 0x00040000;  // 添付ファイルを送らない (Cc)
inline constexpr std::uint32_t kNoBccAttachments = 0x00080000; // 添付ファイルを送らない (Bcc)
inline constexpr std::uint32_t kNoSearch = 0x00100000;         // 検索対象から除外する
inline constexpr std::uint32_t kOneFilePerMail = 0x00200000;   // 1ﾒｰﾙ1ﾌｧｲﾙ

/// The word of an ordinary new tray: delete-mails, autosort, sendgroup,
/// sent-link, send-to-all, add-recipients, reply-to, organization.
inline constexpr std::uint32_t kNewTrayDefault = 0x0000CE34;
static_assert(kNewTrayDefault == (kDeleteMails | kAutoSort | kSendGroup | kSentLink | kSendToAll |
                                  kAddRecipients | kReplyTo | kOrganization),
              "the default word is made of the switches that are on by default");

/// What the system-tray rule keeps of the previous word, sets on every system
/// tray, and sets on the kinds that are left out of searches.
inline constexpr std::uint32_t kSystemKeepMask = 0xFFD1000C;
inline constexpr std::uint32_t kSystemSet = kSystem | kNoNameKeyword;
inline constexpr std::uint32_t kSystemNoSearch = kNoSearch;
static_assert(kSystemSet == 0x00010008, "system trays get exactly these bits");

struct FlagName {
  std::string_view name;
  std::uint32_t bit;
};

/// The names zorvik-cli accepts and shows, in bit order.
inline constexpr std::array<FlagName, 20> kFlagNames{{
    {"delete-tray", kDeleteTray},
    {"delete-mails", kDeleteMails},
    {"system", kSystem},
    {"autosort", kAutoSort},
    {"sendgroup", kSendGroup},
    {"leave-link", kLeaveLink},
    {"sent-autosort", kSentAutoSort},
    {"sent-link", kSentLink},
    {"send-to-all", kSendToAll},
    {"add-recipients", kAddRecipients},
    {"no-keep-sent", kNoKeepSent},
    {"split", kSplit},
    {"reply-to", kReplyTo},
    {"organization", kOrganization},
    {"no-name-keyword", kNoNameKeyword},
    {"no-subject-keyword", kNoSubjectKeyword},
    {"no-cc-attachments", kNoCcAttachments},
    {"no-bcc-attachments", kNoBccAttachments},
    {"no-search", kNoSearch},
    {"one-file-per-mail", kOneFilePerMail},
}};

/// Every name stands for exactly one bit, and no two names for the same one.
constexpr bool flagNamesAreDistinctBits() {
  std::uint32_t seen = 0;
  for (const FlagName& flag : kFlagNames) {
    if (flag.bit == 0 || (flag.bit & (flag.bit - 1)) != 0 || (seen & flag.bit) != 0) return false;
    seen |= flag.bit;
  }
  return true;
}
static_assert(flagNamesAreDistinctBits(), "each flag name needs a bit of its own");

/// The bit of a flag name, if it is one of the names above.
constexpr std::optional<std::uint32_t> bitOf(std::string_view name) {
  for (const FlagName& flag : kFlagNames)
    if (flag.name == name) return flag.bit;
  return std::nullopt;
}

}  // namespace zorvik::store::trayflag
