/// \file
/// Reads the mails of MS Internet Mail: an index file (".IDX") and a
/// mailbox file (".MBX") side by side. The index holds, little-endian:
///
///   offset 0   the magic "JMF9"
///   offset 8   the number of records (4 bytes)
///   offset 80  the first record
///
/// and a record at position p: the status (4 bytes, 0 for a live mail,
/// anything else is skipped), at p+16 the record's length (the next record
/// starts at p + length), at p+20 the mail's offset in the mailbox and at
/// p+24 its size. The mailbox keeps a 16-byte head before each mail, so the
/// mail's text is the size - 16 bytes from offset + 16.
///
/// A damaged pair never leads outside the files: a bad magic imports
/// nothing; a record that runs past the index, a record length too short
/// to reach the next record, or a mail that lies past the end of the
/// mailbox ends the reading as Damaged, the mails before it handed over.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "import/MailHandler.h"

namespace zorvik::import {

class MsInternetMail {
public:
  /// The two files of a pair (Shift_JIS paths).
  struct Pair {
    std::string index;
    std::string mailbox;
  };
  /// The pair the chosen file belongs to: its extension, compared without
  /// regard to case, is ".IDX" or ".MBX", and the other file is the one
  /// beside it whose name differs only in that extension (in any case).
  /// Empty for another extension; the partner's path as the chosen file's
  /// with the other extension when no such file exists.
  static std::optional<Pair> pairOf(std::string_view chosen);

  /// Reads `size` bytes at `offset` of the mailbox; empty on an I/O error.
  using MailboxRead = std::function<std::optional<std::string>(std::uint64_t offset, std::uint64_t size)>;
  /// Hands the text of every live mail of `index` (the whole index file) to
  /// `each`, as the mailbox holds it.
  static ReadEnd read(std::string_view index, std::uint64_t mailboxSize, const MailboxRead& mailbox,
                      const MailHandler& each);
  /// The same over the files of `pair`.
  static ReadEnd readFiles(const Pair& pair, const MailHandler& each);
};

}  // namespace zorvik::import
