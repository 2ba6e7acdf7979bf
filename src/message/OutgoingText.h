/// \file
/// Small guards for text that goes into an outgoing mail's header: a value
/// typed by the user or read from a draft must stay on its own line, and a
/// value inside a quoted parameter must not end the quotes early.
#pragma once

#include <string>
#include <string_view>

namespace zorvik::message {

/// `text` with every CR, LF and NUL replaced by a space, so that it cannot
/// start a header line of its own (or an SMTP command).
std::string singleLine(std::string_view text);

/// `text` as the inside of a quoted string: each double quote and backslash
/// gets a backslash in front. Double-byte characters need no care here: the
/// text is 7-bit by then.
std::string quotedContent(std::string_view text);

}  // namespace zorvik::message
