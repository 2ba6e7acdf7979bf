/// \file
/// What an SMTP session tells the one who gave it mails (the send driver):
/// progress, the end of each mail and the end of the connection. Every mail
/// that SmtpSession::send() took gets exactly one smtpMailFinished(), in the
/// order the mails were given, and each connection ends with exactly one
/// smtpConnectionEnded() after the mails it left unsent were reported.
///
/// The calls come from the event loop (never from inside send(), quit() or
/// abandon()). An owner may call send() and quit() from smtpMailFinished();
/// after a failure it should wait for smtpConnectionEnded() before sending
/// again.
#pragma once

#include "net/OutgoingMail.h"

namespace zorvik::net {

enum class SmtpMailOutcome {
  /// The server answered 250 to the end of the data: mark the mail sent.
  Accepted,
  /// This mail was given up and the connection goes on with the next one:
  /// the server refused it, the user declined the size question, or its
  /// files could not be opened (message 41007). Leave the mail unsent.
  Refused,
  /// The connection failed, or ended, before the mail's data were complete;
  /// smtpConnectionEnded() follows. Leave it unsent; it was not delivered.
  NotSent,
  /// All of the data went out but the connection was lost, or timed out,
  /// before the server's verdict arrived. The server may or may not have
  /// taken the mail; it is left unsent, so a later send may deliver it twice,
  /// but it is never lost.
  Unconfirmed,
};

class SmtpSessionOwner {
public:
  /// Share of the current mail's bytes handed to the socket, 0-100.
  virtual void smtpProgress(const OutgoingMail& mail, int percent) = 0;
  /// The mail is done with; only Accepted means it reached the server.
  virtual void smtpMailFinished(const OutgoingMail& mail, SmtpMailOutcome outcome) = 0;
  /// The connection is closed; `failed` when an error ended it (its message
  /// has been shown).
  virtual void smtpConnectionEnded(bool failed) = 0;

protected:
  ~SmtpSessionOwner() = default;
};

}  // namespace zorvik::net
