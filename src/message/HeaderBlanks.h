/// \file
/// Blanks in header lines: a space or a horizontal tab separates a field's
/// name from its value and starts a continuation line. CR, LF and other
/// control bytes are not blanks here: line ends are the caller's to strip.
#pragma once

#include <string_view>

namespace zorvik::message {

constexpr bool isHeaderBlank(char c) { return c == ' ' || c == '\t'; }

/// `text` without the blanks at its start.
constexpr std::string_view withoutLeadingBlanks(std::string_view text) {
  while (!text.empty() && isHeaderBlank(text.front())) text.remove_prefix(1);
  return text;
}

/// `text` without the blanks at either end; empty when it is all blanks.
constexpr std::string_view withoutOuterBlanks(std::string_view text) {
  text = withoutLeadingBlanks(text);
  while (!text.empty() && isHeaderBlank(text.back())) text.remove_suffix(1);
  return text;
}

}  // namespace zorvik::message
