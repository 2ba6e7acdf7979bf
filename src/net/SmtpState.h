/// \file
/// Where an SMTP session stands in its dialogue with the server.
#pragma once

#include <string_view>

namespace zorvik::net {

enum class SmtpState {
  Idle,         // no connection
  Connecting,   // connect issued, not yet confirmed
  TlsHandshake, // TLS being established (implicit, or after STARTTLS)
  Greeting,     // connected, waiting for the server's 220
  Helo,         // HELO sent
  Ehlo,         // EHLO sent
  StartTls,     // STARTTLS sent
  Auth,         // AUTH sent; the exchange runs
  Ready,        // connection open between mails, nothing outstanding
  Mail,         // MAIL sent
  Rcpt,         // RCPT sent
  Data,         // DATA sent
  SendingData,  // the mail's bytes are being sent
  EndOfData,    // the data's end sent; the server's verdict on the mail is due
  Rset,         // RSET sent after a mail was given up
  Quit,         // QUIT sent
  Closing,      // the connection is over and its end is being reported
};

/// The state's name, for logs and test messages.
std::string_view stateName(SmtpState state);

/// States in which the server owes a reply, so the receive time-out runs.
bool awaitsReply(SmtpState state);

}  // namespace zorvik::net
