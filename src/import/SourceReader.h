/// \file
/// Reads one import source of a kind that holds mails as they were
/// received (every kind but Becky!, which BeckyConverter takes straight
/// into tray text) and hands each mail, in POP3 form, to the caller for
/// the receive's MIME decoding:
///  - UNIX mail: the mailbox is read as it is (MboxReader);
///  - MS Internet Mail and AL-Mail(16): the mails are first written into
///    the intermediate mailbox `workMailbox` (MboxWriter), which is then
///    read like a UNIX mailbox and removed;
///  - Maildir and ".eml": each file is one mail.
/// The kinds that are not implemented, and Becky!, read nothing (Damaged).
#pragma once

#include <cstddef>
#include <string_view>

#include "import/MailHandler.h"
#include "import/MailerKind.h"

namespace zorvik::import {

struct SourceRead {
  ReadEnd end = ReadEnd::Done;
  /// Mail files that could not be read (AL-Mail, Maildir, ".eml").
  std::size_t skipped = 0;
};

class SourceReader {
public:
  static SourceRead read(MailerKind kind, std::string_view source, std::string_view workMailbox,
                         const MailHandler& each);
};

}  // namespace zorvik::import
