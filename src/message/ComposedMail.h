/// \file
/// What the send driver gets for one unsent mail once it is composed: the
/// header and body files for the SMTP session and the envelope, with the
/// To, Cc and Bcc lists kept apart, so that a mail whose Cc or Bcc
/// recipients get no attachments can be sent twice (first with those lists
/// left out, then to them alone with files composed without attachments).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/AliasTable.h"
#include "message/MailRecord.h"

namespace zorvik::message {

struct ComposedMail {
  /// Which address lists recipients() takes.
  enum List : unsigned { kTo = 0x1, kCc = 0x2, kBcc = 0x4, kAll = 0x7 };

  std::string headerPath;
  std::string bodyPath;
  std::string subject;  ///< Shift_JIS, for the messages that name the mail
  std::string sender;   ///< the envelope sender: the bare From address
  std::vector<std::string> to;  ///< bare addresses, in the order written
  std::vector<std::string> cc;
  std::vector<std::string> bcc;
  std::string messageId;  ///< without angle brackets; the id of its fragments
  /// Kilobytes above which the mail goes out as message/partial fragments;
  /// 0 for never.
  std::int32_t splitKilobytes = 0;
  /// The draft names files to attach ("@#MIME " or "@#UUENCODE ").
  bool hasAttachments = false;

  /// The envelope recipients of the chosen lists, To before Cc before Bcc.
  std::vector<std::string> recipients(unsigned lists = kAll) const;

  /// The envelope, subject, id and split size of a stored mail's record.
  /// Entries without an address ("(宛先なし)", empty list items) are left
  /// out; the addresses go through the domain aliases as everywhere else.
  static ComposedMail fromRecord(const MailRecord& record, const core::AliasTable& aliases);
};

}  // namespace zorvik::message
