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

/// `text` with every byte of 0x80 and above replaced by "?". After the
/// conversion to ISO-2022-JP only a broken Shift_JIS sequence (a lead byte
/// whose pair is cut differently by the katakana and the JIS conversion)
/// can leave one, and a mail sent as 7bit must not carry it.
std::string sevenBit(std::string text);

/// `text` as the inside of a quoted string: each double quote and backslash
/// gets a backslash in front. Double-byte characters need no care here: the
/// text is 7-bit by then.
std::string quotedContent(std::string_view text);

}  // namespace zorvik::message
