/// \file
/// The in-memory form of one mail's header: what the lists, the sorting
/// rules, the thread display, the reply templates and the senders need, and
/// where the mail's text lies in its tray. MailRecordParser fills it from
/// header lines; the store turns it into the 170-byte index record and back.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>

#include "message/ThreadKey.h"

namespace zorvik::message {

/// Bits of the flags word that the header decides. The word is shared with
/// the store, which owns the other bits (deleted, opened, marks, reference
/// count); nothing here touches those.
namespace mailflag {
inline constexpr std::uint32_t kLink = 0x00000002;
inline constexpr std::uint32_t kSentByUser = 0x00000004;
inline constexpr std::uint32_t kAttachments = 0x00000008;  // or multipart
/// Set with kSentByUser for a mail without Message-Id or with internal code
/// 101; it is the store's "opened" bit, so such a mail never shows as unread.
inline constexpr std::uint32_t kSentUnread = 0x00000010;
inline constexpr std::uint32_t kToUser = 0x00000040;
inline constexpr std::uint32_t kSwitch1 = 0x00002000;
inline constexpr std::uint32_t kSwitch2 = 0x00004000;
inline constexpr std::uint32_t kFragment = 0x00008000;  // message/partial
inline constexpr std::uint32_t kEncrypted = 0x00080000;  // PGP multipart/encrypted

/// What reset() clears: the bits that only the header decides.
inline constexpr std::uint32_t kHeaderBits = kAttachments | kSwitch1 | kSwitch2 | kFragment | kEncrypted;
}  // namespace mailflag

/// Values of the internal code, the first number of the "Zorvik: " line.
namespace internalcode {
inline constexpr std::int32_t kUnknown = 0;
inline constexpr std::int32_t kWrittenByUser = 100;
/// A mail of the user's that was sent (the unsent tray's first mail is
/// restamped from 100 to 101 when it goes out).
inline constexpr std::int32_t kSent = 101;
inline constexpr std::int32_t kReceived = 200;
}  // namespace internalcode

struct MailRecord {
  std::uint32_t flags = 0;
  std::uint32_t textStart = 0;       // offset of the separator line in the tray text
  std::uint32_t textEnd = 0;         // offset just past the header block and its empty line
  std::uint32_t bodyLineCount = 0;
  std::uint32_t headerLineCount = 0;  // unfolded header lines, separator not counted
  std::time_t date = 0;               // seconds since 1970-01-01 00:00 UTC

  std::string listAddress;  // the other party as the mail list shows it
  std::string listName;
  std::string subject;      // decoded
  ThreadKey ownKey{};       // from the Message-Id
  ThreadKey parentKey{};    // from In-Reply-To or References; zero when none

  std::string from;  // one address a line, CR LF between lines
  std::string fromName;
  std::string fromAddress;
  std::string fromLocalPart;
  std::string to;   // one address a line; several To lines accumulate
  std::string cc;   // likewise
  std::string bcc;
  std::string sender;
  std::string replyTo;
  std::string messageId;  // without the angle brackets
  std::string references;
  std::string status;
  std::string inReplyTo;
  std::string listTag;           // from the Subject, see ListTag
  std::string attachmentFolder;  // the "X-Zorvik-AttachDir: " value
  std::string contentType;

  std::uint32_t linkIndex = 0;  // with kLink: the mail's index in linkTarget
  std::string linkTarget;       // with kLink: the tray that holds the mail

  std::int32_t internalCode = internalcode::kUnknown;
  std::string internalText;
  /// For an outgoing mail: the size in kilobytes above which it is sent
  /// split into partial messages; 0 for no splitting.
  std::int32_t internalNumber = 0;
  std::string krdx;  // the "KRDX: " value
  std::string organization;

  bool has(std::uint32_t bit) const { return (flags & bit) != 0; }

  /// Empties every string, zeroes the keys and the internal code and number,
  /// and clears the header bits of the flags (mailflag::kHeaderBits). What
  /// the index knows stays (the store's bits, positions, line counts, date,
  /// link fields), so a record read from an index can be parsed again from
  /// its tray text; a mail without a Date line keeps its stored date.
  void reset();

  /// True when `other` is the same mail as this one: equal own keys, equal
  /// dates, and `other`'s Subject begins with this Subject (a server may cut
  /// or extend a Subject). Used to recognise mails already fetched.
  bool sameMailAs(const MailRecord& other) const;

  /// True when To holds a ".jp" domain: ".jp" (any letter case) followed by
  /// the end, a control character, a space or ">".
  bool hasJapaneseDomain() const;
};

}  // namespace zorvik::message
