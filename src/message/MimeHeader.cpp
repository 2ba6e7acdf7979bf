#include "message/MimeHeader.h"

#include "message/EncodedWordDecoder.h"
#include "core/SjisText.h"
#include "message/MimeParameters.h"
#include "message/RawHeaderText.h"

#include <array>
#include <utility>

namespace zorvik::message {
namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string_view skipBlanks(std::string_view text) {
  while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
  return text;
}

bool isTypeCharacter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
         c == '/';
}

std::string_view leadingToken(std::string_view text, bool (*belongs)(char)) {
  std::size_t n = 0;
  while (n < text.size() && belongs(text[n])) ++n;
  return text.substr(0, n);
}

constexpr std::array<std::pair<std::string_view, MimeField>, 6> kFields{{
    {"MIME-VERSION:", MimeField::mimeVersion},
    {"CONTENT-TYPE:", MimeField::contentType},
    {"CONTENT-TRANSFER-ENCODING:", MimeField::transferEncoding},
    {"CONTENT-DISPOSITION:", MimeField::disposition},
    {"MESSAGE-ID:", MimeField::messageId},
    {"DATE:", MimeField::date},
}};

}  // namespace

MimeField MimeHeader::field(std::string_view line, std::string_view& value) {
  if (line == ".\r\n" || line == "." || line == ".\n") return MimeField::terminator;
  for (const auto& [name, field] : kFields) {
    if (!core::startsWithIgnoringAsciiCase(line, name)) continue;
    value = skipBlanks(line.substr(name.size()));
    return field;
  }
  return MimeField::none;
}

ContentType MimeHeader::contentType(std::string_view value) {
  ContentType result;
  result.type = leadingToken(value, isTypeCharacter);
  const std::string_view type = result.type;
  const MimeParameters parameters(value);
  result.charset = parameters.get("charset").value_or("");
  if (core::startsWithIgnoringAsciiCase(type, "MULTIPART")) {
    result.kind = core::equalsIgnoringAsciiCase(type, "MULTIPART/ENCRYPTED") ? ContentKind::encrypted
                                                                   : ContentKind::multipart;
    if (result.kind == ContentKind::multipart) result.boundary = parameters.get("boundary").value_or("");
    return result;
  }
  if (core::equalsIgnoringAsciiCase(type, "APPLICATION/X-UUENCODE")) {
    result.kind = ContentKind::uuencode;
  } else if (core::equalsIgnoringAsciiCase(type, "APPLICATION/MAC-BINHEX40")) {
    result.kind = ContentKind::binHex;
  } else if (core::equalsIgnoringAsciiCase(type, "TEXT/PLAIN")) {
    result.kind = ContentKind::textPlain;
    result.output = OutputKind::text;
  } else if (core::equalsIgnoringAsciiCase(type, "TEXT/ENRICHED")) {
    result.kind = ContentKind::otherText;
    result.output = OutputKind::enriched;
  } else if (core::equalsIgnoringAsciiCase(type, "TEXT")) {
    result.kind = ContentKind::otherText;
    result.output = OutputKind::text;
  } else if (core::equalsIgnoringAsciiCase(type, "MESSAGE/PARTIAL")) {
    result.kind = ContentKind::partial;
  } else if (core::equalsIgnoringAsciiCase(type, "MESSAGE/RFC822")) {
    result.kind = ContentKind::attachedMail;
  } else {
    result.kind = ContentKind::other;
  }
  return result;
}

TransferEncodingValue MimeHeader::transferEncoding(std::string_view value) {
  const std::string_view token = leadingToken(value, [](char c) { return !isBlank(c) && c != ';'; });
  if (core::equalsIgnoringAsciiCase(token, "7BIT")) return {TransferEncoding::sevenBit, false};
  if (core::equalsIgnoringAsciiCase(token, "8BIT")) return {TransferEncoding::eightBit, false};
  if (core::equalsIgnoringAsciiCase(token, "BASE64")) return {TransferEncoding::base64, false};
  if (core::equalsIgnoringAsciiCase(token, "QUOTED-PRINTABLE")) return {TransferEncoding::quotedPrintable, false};
  const bool uuencode = core::equalsIgnoringAsciiCase(token, "X-UUENCODE") || core::equalsIgnoringAsciiCase(token, "UUENCODE");
  return {TransferEncoding::sevenBit, uuencode};
}

std::string MimeHeader::partName(std::string_view value) {
  const MimeParameters parameters(value);
  for (const auto name : {"name", "filename"}) {
    const auto plain = parameters.get(name);
    if (plain && !plain->empty()) return EncodedWordDecoder::decode(RawHeaderText::toSjis(*plain));
  }
  for (const auto name : {"name", "filename"}) {
    const auto extended = parameters.extended(name);
    if (extended && !extended->empty()) return *extended;
  }
  return {};
}

std::string MimeHeader::messageId(std::string_view value) {
  const auto open = value.find('<');
  if (open != std::string_view::npos) {
    const auto close = value.find('>', open + 1);
    return std::string(value.substr(open + 1, close == std::string_view::npos ? close : close - open - 1));
  }
  return std::string(leadingToken(value, [](char c) { return !isBlank(c); }));
}

}  // namespace zorvik::message
