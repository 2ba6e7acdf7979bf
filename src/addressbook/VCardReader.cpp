#include "addressbook/VCardReader.h"

#include <optional>
#include <string>
#include <string_view>

#include "core/SjisText.h"
#include "core/TextLines.h"
#include "platform/TextEncoding.h"

namespace zorvik::addressbook {
namespace {

// The parameters of vCard 2.1 that name an encoding without "ENCODING=".
bool isBareEncoding(std::string_view param) {
  for (const std::string_view name : {"quoted-printable", "base64", "8bit", "7bit"})
    if (core::equalsIgnoringAsciiCase(param, name)) return true;
  return false;
}

// Bare encodings of 2.1 as "ENCODING=...", other bare parameters as types.
void nameBareParams(VCardProperty& property) {
  for (std::string& param : property.params)
    if (param.find('=') == std::string::npos) param = (isBareEncoding(param) ? "ENCODING=" : "TYPE=") + param;
}

bool isQuotedPrintable(const VCardProperty& property) {
  const auto encoding = property.param("ENCODING");
  return encoding && core::equalsIgnoringAsciiCase(*encoding, "quoted-printable");
}

// Whether a physical line's value is quoted-printable, so that a "=" at its
// end is a soft line break. The same test as the decoding's, so a value
// that is not decoded is never joined with the line after it either.
bool isQuotedPrintable(std::string_view line) {
  auto property = VCardProperty::parse(line);
  if (!property) return false;
  nameBareParams(*property);
  return isQuotedPrintable(*property);
}

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

std::string decodeQuotedPrintable(std::string_view value) {
  std::string decoded;
  for (std::size_t i = 0; i < value.size(); ++i) {
    if (value[i] == '=' && i + 2 < value.size() && hexValue(value[i + 1]) >= 0 && hexValue(value[i + 2]) >= 0) {
      decoded += static_cast<char>(hexValue(value[i + 1]) * 16 + hexValue(value[i + 2]));
      i += 2;
      continue;
    }
    decoded += value[i];
  }
  return decoded;
}

std::string toUtf8(std::string_view charset, const std::string& value) {
  if (core::equalsIgnoringAsciiCase(charset, "utf-8") || platform::isAscii(value)) return value;
  const auto sjis = platform::charsetToSjis(charset, value);
  return sjis ? platform::sjisToUtf8(*sjis) : value;
}

// Brings a property of any version into the form this address book keeps.
void normalise(VCardProperty& property) {
  nameBareParams(property);
  if (const auto encoding = property.param("ENCODING")) {
    if (isQuotedPrintable(property)) {
      property.value = decodeQuotedPrintable(property.value);
      property.removeParam("ENCODING");
    } else if (core::equalsIgnoringAsciiCase(*encoding, "base64")) {
      property.removeParam("ENCODING");
      property.params.push_back("ENCODING=b");
    }
  }
  if (const auto charset = property.param("CHARSET")) {
    property.value = toUtf8(*charset, property.value);
    property.removeParam("CHARSET");
  }
}

// The logical lines of `text`: folds and soft line breaks joined.
std::vector<std::string> unfolded(std::string_view text) {
  std::vector<std::string> lines;
  bool softBreak = false;
  core::TextLines physical(text);
  for (std::string_view line; physical.next(line);) {
    const bool folded = !lines.empty() && !line.empty() && (line.front() == ' ' || line.front() == '\t');
    if (softBreak) {
      lines.back().pop_back();
      lines.back().append(line);
    } else if (folded) {
      lines.back().append(line.substr(1));
    } else {
      lines.emplace_back(line);
    }
    softBreak = lines.back().ends_with('=') && isQuotedPrintable(lines.back());
  }
  return lines;
}

}  // namespace

std::vector<VCardEntry> VCardReader::parse(std::string_view text) {
  std::vector<VCardEntry> entries;
  std::optional<VCardEntry> open;
  for (const std::string& line : unfolded(text)) {
    auto property = VCardProperty::parse(line);
    if (!property) continue;
    if (property->name == "BEGIN" && core::equalsIgnoringAsciiCase(property->value, "vcard")) {
      if (open) entries.push_back(std::move(*open));
      open.emplace();
      continue;
    }
    if (!open) continue;
    if (property->name == "END" && core::equalsIgnoringAsciiCase(property->value, "vcard")) {
      entries.push_back(std::move(*open));
      open.reset();
      continue;
    }
    if (property->name == "VERSION") continue;
    normalise(*property);
    open->properties.push_back(std::move(*property));
  }
  if (open) entries.push_back(std::move(*open));
  return entries;
}

}  // namespace zorvik::addressbook
