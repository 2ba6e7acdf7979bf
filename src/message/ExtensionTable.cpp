#include "message/ExtensionTable.h"

#include "core/SjisText.h"

#include <array>
#include <utility>

namespace zorvik::message {
namespace {

using Pair = std::pair<std::string_view, std::string_view>;

// Order matters: a type with two extensions gets the first one, and
// ".exe" maps back to octet-stream because ".bin" came first.
constexpr std::array<Pair, 27> kPairs{{
    {"application/mac-binhex40", ".hqx"},
    {"application/octet-stream", ".bin"},
    {"application/octet-stream", ".exe"},
    {"application/rtf", ".rtf"},
    {"application/x-uuencode", ".uue"},
    {"application/x-uuencode", ".uu"},
    {"application/x-zip-compressed", ".zip"},
    {"audio/basic", ".au"},
    {"audio/x-wav", ".wav"},
    {"image/gif", ".gif"},
    {"image/jpeg", ".jpg"},
    {"image/jpeg", ".jpeg"},
    {"image/tiff", ".tif"},
    {"image/tiff", ".tiff"},
    {"message/rfc822", ".elm"},
    {"text/html", ".htm"},
    {"text/plain", ".txt"},
    {"text/enriched", ".txt"},
    {"video/mpeg", ".mpg"},
    {"video/mpeg", ".mpeg"},
    {"video/quicktime", ".qt"},
    {"video/quicktime", ".mov"},
    {"video/x-msvideo", ".avi"},
    // Text types that are files, not text to read: a nameless one must still
    // open in its program (an invitation's calendar, a card, a table).
    {"text/calendar", ".ics"},
    {"text/csv", ".csv"},
    {"text/x-vcard", ".vcf"},
    {"text/vcard", ".vcf"},
}};

}  // namespace

std::string_view ExtensionTable::extensionFor(std::string_view contentType) {
  for (const auto& [type, extension] : kPairs)
    if (core::equalsIgnoringAsciiCase(type, contentType)) return extension;
  return ".000";
}

std::string_view ExtensionTable::contentTypeFor(std::string_view extension) {
  for (const auto& [type, known] : kPairs)
    if (core::equalsIgnoringAsciiCase(known, extension)) return type;
  return "application/octet-stream";
}

}  // namespace zorvik::message
