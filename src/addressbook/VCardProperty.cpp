#include "addressbook/VCardProperty.h"

#include <algorithm>

#include "core/SjisText.h"

namespace zorvik::addressbook {
namespace {

// Splits `text` at `separator` bytes that are outside double quotes.
std::vector<std::string_view> splitOutsideQuotes(std::string_view text, char separator) {
  std::vector<std::string_view> parts;
  bool quoted = false;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '"') quoted = !quoted;
    if (text[i] == separator && !quoted) {
      parts.push_back(text.substr(start, i - start));
      start = i + 1;
    }
  }
  parts.push_back(text.substr(start));
  return parts;
}

std::string unescape(std::string_view value) {
  std::string text;
  text.reserve(value.size());
  for (std::size_t i = 0; i < value.size(); ++i) {
    if (value[i] != '\\' || i + 1 == value.size()) {
      text += value[i];
      continue;
    }
    const char next = value[++i];
    text += next == 'n' || next == 'N' ? '\n' : next;
  }
  return text;
}

// Names and groups are letters, digits and "-"; a line with anything else
// there (a blank, say) is no property, and written back it could read as
// the fold of the line before it.
bool isToken(std::string_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-';
  });
}

}  // namespace

std::optional<VCardProperty> VCardProperty::parse(std::string_view line) {
  bool quoted = false;
  std::size_t colon = std::string_view::npos;
  for (std::size_t i = 0; i < line.size() && colon == std::string_view::npos; ++i) {
    if (line[i] == '"') quoted = !quoted;
    if (line[i] == ':' && !quoted) colon = i;
  }
  if (colon == std::string_view::npos) return std::nullopt;
  const std::vector<std::string_view> head = splitOutsideQuotes(line.substr(0, colon), ';');
  VCardProperty property;
  std::string_view name = head.front();
  if (const auto dot = name.find('.'); dot != std::string_view::npos) {
    property.group = std::string(name.substr(0, dot));
    name.remove_prefix(dot + 1);
  }
  if (!isToken(name) || (!property.group.empty() && !isToken(property.group))) return std::nullopt;
  property.name = std::string(name);
  std::transform(property.name.begin(), property.name.end(), property.name.begin(),
                 [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; });
  for (std::size_t i = 1; i < head.size(); ++i)
    if (!head[i].empty()) property.params.emplace_back(head[i]);
  property.value = std::string(line.substr(colon + 1));
  return property;
}

std::string VCardProperty::line() const {
  std::string text;
  if (!group.empty()) text += group + ".";
  text += name;
  for (const std::string& param : params) text += ";" + param;
  text += ":";
  text += value;
  return text;
}

std::string VCardProperty::text() const { return unescape(value); }

std::string VCardProperty::component(std::size_t index) const {
  std::size_t start = 0;
  std::size_t part = 0;
  for (std::size_t i = 0; i <= value.size(); ++i) {
    if (i < value.size() && value[i] == '\\') {
      ++i;
      continue;
    }
    if (i < value.size() && value[i] != ';') continue;
    if (part == index) return unescape(std::string_view(value).substr(start, i - start));
    ++part;
    start = i + 1;
  }
  return {};
}

std::optional<std::string> VCardProperty::param(std::string_view wanted) const {
  for (const std::string& param : params) {
    const auto equals = param.find('=');
    if (equals != std::string::npos && core::equalsIgnoringAsciiCase(std::string_view(param).substr(0, equals), wanted))
      return param.substr(equals + 1);
  }
  return std::nullopt;
}

void VCardProperty::removeParam(std::string_view wanted) {
  std::erase_if(params, [wanted](const std::string& param) {
    const auto equals = param.find('=');
    return equals != std::string::npos && core::equalsIgnoringAsciiCase(std::string_view(param).substr(0, equals), wanted);
  });
}

std::string VCardProperty::escape(std::string_view text) {
  std::string value;
  value.reserve(text.size());
  for (const char c : text) {
    if (c == '\r') continue;
    if (c == '\n') {
      value += "\\n";
      continue;
    }
    if (c == '\\' || c == ',' || c == ';') value += '\\';
    value += c;
  }
  return value;
}

}  // namespace zorvik::addressbook
