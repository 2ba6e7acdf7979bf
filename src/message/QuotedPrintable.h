/// \file
/// Quoted-printable decoding, used for mail bodies and, through
/// upperHexValue, for the "Q" encoded words of header values. There is no
/// encoder: outgoing text is always 7-bit ISO-2022-JP.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace zorvik::message {

/// The value of an upper-case hex digit ("0"-"9", "A"-"F"), or -1. Lower-case
/// digits are refused on purpose: "=3d" is not an escape here, so its "=" is
/// dropped and "3d" stays as text.
int upperHexValue(unsigned char c);

/// Decodes one line of a quoted-printable body (with its line end) into
/// `out`, which has room for line.size() bytes (the result is never longer);
/// returns the number of bytes written. "=XX" (upper-case hex) gives one byte; "=" before the
/// line end (CR LF or a bare LF) is a soft break: nothing more is output for
/// the line; any other "=" is dropped and the bytes after it are copied.
/// Lines carry no state, so each line decodes alone.
std::size_t decodeQuotedPrintableLine(std::string_view line, char* out);

/// Decodes one line (see decodeQuotedPrintableLine) and appends the result.
void appendQuotedPrintableLine(std::string& out, std::string_view line);

/// Decodes a whole quoted-printable text, line by line (see
/// appendQuotedPrintableLine).
std::string decodeQuotedPrintable(std::string_view text);

}  // namespace zorvik::message
