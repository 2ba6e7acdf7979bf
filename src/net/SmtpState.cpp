#include "net/SmtpState.h"

namespace zorvik::net {

std::string_view stateName(SmtpState state) {
  switch (state) {
    case SmtpState::Idle: return "Idle";
    case SmtpState::Connecting: return "Connecting";
    case SmtpState::TlsHandshake: return "TlsHandshake";
    case SmtpState::Greeting: return "Greeting";
    case SmtpState::Helo: return "Helo";
    case SmtpState::Ehlo: return "Ehlo";
    case SmtpState::StartTls: return "StartTls";
    case SmtpState::Auth: return "Auth";
    case SmtpState::Ready: return "Ready";
    case SmtpState::Mail: return "Mail";
    case SmtpState::Rcpt: return "Rcpt";
    case SmtpState::Data: return "Data";
    case SmtpState::SendingData: return "SendingData";
    case SmtpState::EndOfData: return "EndOfData";
    case SmtpState::Rset: return "Rset";
    case SmtpState::Quit: return "Quit";
    case SmtpState::Closing: return "Closing";
  }
  return "?";
}

bool awaitsReply(SmtpState state) {
  switch (state) {
    case SmtpState::TlsHandshake:
    case SmtpState::Greeting:
    case SmtpState::Helo:
    case SmtpState::Ehlo:
    case SmtpState::StartTls:
    case SmtpState::Auth:
    case SmtpState::Mail:
    case SmtpState::Rcpt:
    case SmtpState::Data:
    case SmtpState::EndOfData:
    case SmtpState::Rset:
    case SmtpState::Quit: return true;
    default: return false;
  }
}

}  // namespace zorvik::net
