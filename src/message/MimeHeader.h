/// \file
/// Reads the header lines that matter to MIME decoding: which field a line
/// is, and what its value says (content kind, boundary, charset, transfer
/// encoding, the attachment's name, the Message-Id). Field names are matched
/// without regard to letter case; values may carry their folding CR LFs.
#pragma once

#include "message/MimeState.h"
#include "message/OutputWriter.h"

#include <optional>
#include <string>
#include <string_view>

namespace zorvik::message {

/// The header fields the decoder acts on.
enum class MimeField {
  none,
  terminator,  ///< the line "." that ends a received mail
  mimeVersion,
  contentType,
  transferEncoding,
  disposition,
  messageId,
  date,
};

/// A Content-Type value as the decoder uses it.
struct ContentType {
  ContentKind kind = ContentKind::textPlain;
  std::optional<OutputKind> output;  ///< set for text types only
  std::string type;                  ///< the leading type token, as written
  std::string boundary;              ///< multipart only; empty when absent
  std::string charset;               ///< as written; empty when absent
};

/// A Content-Transfer-Encoding value.
struct TransferEncodingValue {
  TransferEncoding encoding = TransferEncoding::sevenBit;
  bool uuencode = false;  ///< "x-uuencode" or "uuencode": the part is uuencoded 7bit text
};

class MimeHeader {
public:
  /// Which field `line` is; `value` gets the text after the colon and the
  /// blanks that follow it (line end included).
  static MimeField field(std::string_view line, std::string_view& value);

  static ContentType contentType(std::string_view value);
  static TransferEncodingValue transferEncoding(std::string_view value);

  /// The attachment name of a Content-Type or Content-Disposition value:
  /// the NAME parameter, else FILENAME, raw UTF-8 converted and encoded
  /// words decoded (RawHeaderText, EncodedWordDecoder); without either,
  /// their RFC 2231 forms. Empty when none gives a non-empty name.
  static std::string partName(std::string_view value);

  /// The text between "<" and ">", or the first token when there is no "<".
  static std::string messageId(std::string_view value);
};

}  // namespace zorvik::message
