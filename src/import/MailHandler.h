/// \file
/// Where a mailbox reader hands each mail it finds: the mail in the form a
/// POP3 server sends it (CR LF line ends, lines beginning with "." doubled,
/// ending with the line "."), ready for the receive's MIME decoding. The
/// handler returns false to stop the reading (the user asked to stop, or
/// the mail could not be stored).
#pragma once

#include <functional>
#include <string_view>

namespace zorvik::import {

using MailHandler = std::function<bool(std::string_view wireMail)>;

/// How the reading of one mailbox ended.
enum class ReadEnd {
  Done,      // every mail was handed over
  Stopped,   // the handler asked to stop
  Damaged,   // the mailbox is not of its kind or broken; the mails before were handed over
  Unreadable // the mailbox (or a work file) could not be opened or read
};

}  // namespace zorvik::import
