#include "net/SmtpState.h"

namespace zorvik::net {

std::string_view stateName(SmtpState state) {
  switch (state) {
    case SmtpState::Idle: return "Idle";
    case SmtpState::Connecting: return "Connecting";
    case SmtpState::Greeting: return "Greeting";
    case SmtpState::Helo: return "Helo";
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
    case SmtpState::Greeting:
    case SmtpState::Helo:
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
