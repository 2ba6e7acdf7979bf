/// \file
/// A sent message read back the way a mail program shows it, by Python's
/// email package (a reader Zorvik did not write): one line per field, tab
/// between values.
///
///   subject     the decoded subject
///   in-reply-to, references   when the message has them
///   text        each text part, decoded, line ends written "|"
///   file        each file: its encoded-word name, its RFC 2231 name (the
///               last filename parameter), its bytes in hex
#pragma once

#include <string>
#include <string_view>

namespace zorvik::test {

/// The lines above for the message in the file at `path`.
std::string readMailBack(const std::string& path);

/// `bytes` as lower-case hex digits, as the file lines give them.
std::string hexOf(std::string_view bytes);

}  // namespace zorvik::test
