/// \file
/// Reads mail addresses out of header values: "山田 <taro@example.jp>",
/// "taro@example.jp (山田)", lists of them separated by "," or ";", and the
/// short "first recipient ... 他" form that the mail list shows.
#pragma once

#include "core/AliasTable.h"
#include "message/MailAddress.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zorvik::message {

/// Splits Shift_JIS address lists. The parser never fails: any byte sequence
/// gives some (possibly empty) address and name, and it only ever reads inside
/// the given text, so broken or hostile headers are safe to feed it.
///
/// Quoting: "...", (...) and [...] hide separators and angle brackets;
/// parentheses and square brackets nest, quotes do not. An apostrophe is an
/// ordinary character ("Dan O'Neil <dan@example.com>", o'brien@example.com). A backslash makes the
/// next byte ordinary and is itself dropped; the trail byte of a double-byte
/// character is never taken for a quote or separator.
class AddressParser {
public:
  /// Every address found is rewritten through `aliases` (see applyAliases).
  /// The table must outlive the parser.
  explicit AddressParser(const core::AliasTable& aliases) : aliases_(aliases) {}

  struct Parsed {
    MailAddress mail;
    /// Where parsing stopped: the separator (",", ";", CR or LF outside any
    /// quote or bracket) that ended the address, or text.size(). Call again
    /// from end + 1 for the next address.
    std::size_t end = 0;
  };

  /// The first address of `text`. The address is the <...> part when there
  /// is one, else the text outside quotes and comments; the name is the text
  /// around the <...> part, else the comment or quoted text.
  Parsed parseOne(std::string_view text) const;

  /// Every address of a list, in order; entries with an empty address (",,",
  /// a lone comment) are left out, so the result can go to SMTP as it is.
  std::vector<MailAddress> parseList(std::string_view text) const;

  /// The raw text of every entry of a list, trimmed, empty entries left out
  /// ("山田 <taro@example.jp>" stays whole). Used to store one address a line.
  static std::vector<std::string> splitList(std::string_view text);

  /// What the mail list shows for an address list: the first address and its
  /// name (the local part of the address when there is no name). With
  /// `multiLine`, only the first line of a CR-separated list is read, and when
  /// there was more than one line "..." is appended to the address and " 他"
  /// to the name.
  MailAddress shortDisplay(std::string_view list, bool multiLine) const;

  /// The text before the first "@" of `address`; nothing when it has no "@".
  static std::optional<std::string> localPart(std::string_view address);

  /// Rewrites a mail domain by the first alias pair whose "from" text occurs
  /// in `address` right after "@" or "." ("taro@mail.example.ne.jp" with the
  /// pair mail.example.ne.jp=example.ne.jp gives "taro@example.ne.jp"). Only
  /// the first occurrence of each pair's text is looked at; empty pairs are
  /// ignored.
  static std::string applyAliases(std::string address, const core::AliasTable& aliases);

private:
  const core::AliasTable& aliases_;
};

}  // namespace zorvik::message
