/// \file
/// Puts a rewritten form of a stored mail in place of the mail, as the
/// file extraction and the attachment deletion do: the new text goes
/// through the new-mail work file into the tray that stores the mail (so
/// it is read, parsed and indexed exactly as received mail is), then takes
/// over the old mail's place: its read state, marks and links; the old mail
/// goes to the trash.
///
/// The caller holds the store's lock (the work file is shared with the
/// receive). A work file left by an interrupted receive is moved into the
/// new-mail tray first. When the new text cannot be appended, the work file
/// is discarded and the old mail stays as it was.
#pragma once

#include <cstdint>
#include <optional>

#include "compose/SourceMail.h"
#include "message/MailLines.h"

namespace zorvik::mailflow {

class Document;

class MailRewrite {
public:
  /// Mail `index` of `tray`, a link followed to the mail; empty when it is
  /// not a live mail.
  static std::optional<compose::SourceMail> read(const Document& document, const std::string& tray,
                                                 std::uint32_t index);
  /// The stored lines of `mail` (its separator is not kept).
  static message::MailLines linesOf(const compose::SourceMail& mail);

  /// Stores `lines` as the new form of `mail` and puts it in the old one's
  /// place. The new mail's index in the tray that stored the old one; empty
  /// when the text could not be stored (the old mail is unchanged) or the
  /// old mail could not be moved away (both are there then).
  static std::optional<std::uint32_t> replace(const Document& document, const compose::SourceMail& mail,
                                              const message::MailLines& lines);
};

}  // namespace zorvik::mailflow
