/// \file
/// Base64 (RFC 2045 alphabet) building blocks shared by the body decoder, the
/// header encoded words and the attachment encoder.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace zorvik::message {

inline constexpr std::string_view kBase64Alphabet =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

namespace detail {
inline constexpr std::array<std::int8_t, 256> kBase64Values = [] {
  std::array<std::int8_t, 256> values{};
  values.fill(-1);
  for (std::size_t i = 0; i < kBase64Alphabet.size(); ++i)
    values[static_cast<unsigned char>(kBase64Alphabet[i])] = static_cast<std::int8_t>(i);
  return values;
}();
}  // namespace detail

/// The 6-bit value of a base64 character, or -1 when `c` is not in the
/// alphabet ("=" and white space included).
inline int base64Value(unsigned char c) { return detail::kBase64Values[c]; }

/// Appends the base64 text of `bytes`, padded with "=" to a multiple of four,
/// with no line breaks.
void appendBase64(std::string& out, std::string_view bytes);

/// The base64 text of `bytes` (see appendBase64).
std::string base64Encode(std::string_view bytes);

/// Decodes text in which only alphabet characters count: each adds 6 bits and
/// every completed byte is emitted; everything else ("=" padding, white space,
/// line ends, stray bytes) is skipped. Trailing bits short of a byte are
/// dropped. This is how the text of a "B" encoded word is read; a mail body
/// goes through Base64Decoder instead, which stops at "=".
std::string base64DecodeSkipping(std::string_view text);

/// A file's content as a MIME base64 body: lines of 76 characters (57 bytes)
/// each ending in CR LF; the last, shorter line (empty when the content is a
/// multiple of 57 bytes) padded and ended by CR LF, and followed by one more
/// empty line when it needed padding.
std::string base64MimeBody(std::string_view content);

}  // namespace zorvik::message
