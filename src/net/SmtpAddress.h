/// \file
/// The check that an address may stand inside "MAIL From:<...>" or
/// "RCPT To:<...>". The address is written into the command as it is, so a
/// CR or LF in it would end the command early and let the rest of the text
/// pass as commands of its own (another RCPT, a DATA with forged content);
/// a ">" would end the path and let the text after it pass as command
/// parameters. Such addresses are refused before anything is sent.
#pragma once

#include <string>
#include <string_view>

namespace zorvik::net {

/// No control characters (CR, LF, NUL, TAB, DEL, ...), no "<" or ">", and
/// not empty. Everything else is left for the server to judge.
bool isSafeEnvelopeAddress(std::string_view address);

/// `address` for a message to the user: each control character shown as
/// "\r", "\n" or "\xHH", so the user sees what was wrong with it.
std::string visibleAddress(std::string_view address);

/// `address` without the white space (blank, tab, CR, LF) around it.
std::string_view trimAddress(std::string_view address);

}  // namespace zorvik::net
