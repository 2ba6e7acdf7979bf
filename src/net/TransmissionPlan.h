/// \file
/// How often, and to whom, one composed mail goes out. Most mails go out
/// once to To, Cc and Bcc. A mail with attachments whose Cc or Bcc
/// recipients are to get no attachments (the send-group switches stored in
/// the mail's record) goes out twice: first with attachments to everyone
/// else, then without attachments to the left-out lists alone.
///
/// A transmission whose lists hold no address is dropped, so a marked but
/// empty Cc list neither sends a second copy nor makes the session refuse a
/// mail without recipients. When no transmission has an address at all, one
/// transmission to every list is kept: the session then refuses it with its
/// "no recipients" message and the mail stays unsent.
#pragma once

#include <vector>

#include "message/ComposedMail.h"

namespace zorvik::net {

struct Transmission {
  unsigned lists = message::ComposedMail::kAll;  ///< ComposedMail::List bits
  bool attachments = true;
};

class TransmissionPlan {
public:
  /// The transmissions of `mail`, in the order they are sent.
  /// `ccWithoutAttachments` and `bccWithoutAttachments` are the mail's
  /// switches; they matter only when the mail names files to attach.
  static std::vector<Transmission> of(const message::ComposedMail& mail, bool ccWithoutAttachments,
                                      bool bccWithoutAttachments);
};

}  // namespace zorvik::net
