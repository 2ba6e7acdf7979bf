#include "message/MimeCharset.h"

#include "message/JapaneseCodec.h"
#include "core/SjisText.h"
#include "platform/TextEncoding.h"

#include <array>

namespace zorvik::message {
namespace {

constexpr std::array<std::string_view, 14> kUnchanged{
    "",          "shift_jis",  "shift-jis", "sjis",     "x-sjis",      "cp932",      "ms932",
    "windows-31j", "ms_kanji", "csshiftjis", "x-ms-cp932", "us-ascii", "ascii", "ansi_x3.4-1968"};

}  // namespace

CharsetKind MimeCharset::pipelineKind(std::string_view charset) {
  if (core::equalsIgnoringAsciiCase(charset, "iso-2022-jp")) return CharsetKind::iso2022jp;
  if (core::equalsIgnoringAsciiCase(charset, "utf-8")) return CharsetKind::utf8;
  return CharsetKind::none;
}

bool MimeCharset::passesUnchanged(std::string_view charset) {
  for (const auto name : kUnchanged)
    if (core::equalsIgnoringAsciiCase(charset, name)) return true;
  return false;
}

bool MimeCharset::needsIconv(std::string_view charset) {
  return pipelineKind(charset) == CharsetKind::none && !passesUnchanged(charset);
}

std::string MimeCharset::toSjis(std::string_view charset, std::string_view bytes) {
  switch (pipelineKind(charset)) {
    case CharsetKind::iso2022jp: return jisToSjis(bytes);
    case CharsetKind::utf8: return platform::utf8ToSjis(bytes, kSjisReplacement);
    case CharsetKind::none: break;
  }
  if (passesUnchanged(charset)) return std::string(bytes);
  return platform::charsetToSjis(charset, bytes, kSjisReplacement).value_or(std::string(bytes));
}

}  // namespace zorvik::message
