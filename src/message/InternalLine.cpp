#include "message/InternalLine.h"

#include <limits>

namespace zorvik::message {
namespace {

// The leading decimal number of `text` (after blanks, with an optional
// sign), clamped to 32 bits; 0 when there is none.
std::int32_t leadingNumber(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  constexpr std::int64_t kLimit = std::numeric_limits<std::int32_t>::max();
  std::int64_t value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > kLimit) value = kLimit + 1;  // stays in range, clamped below
  }
  if (negative) return static_cast<std::int32_t>(-value);
  return static_cast<std::int32_t>(value > kLimit ? kLimit : value);
}

}  // namespace

InternalLine InternalLine::parse(std::string_view value) {
  InternalLine line;
  line.code = leadingNumber(value);
  const std::size_t first = value.find(',');
  if (first == std::string_view::npos) return line;
  const std::string_view rest = value.substr(first + 1);
  const std::size_t second = rest.find(',');
  if (second == std::string_view::npos) {
    line.text = std::string(rest);
    return line;
  }
  line.text = std::string(rest.substr(0, second));
  // "s1,s2,number": the switches sit at fixed places after the comma.
  const std::string_view fields = rest.substr(second + 1);
  line.switch1 = !fields.empty() && fields[0] == '1';
  line.switch2 = fields.size() > 2 && fields[2] == '1';
  const std::size_t third = fields.find(',', 2);
  if (third != std::string_view::npos) line.number = leadingNumber(fields.substr(third + 1));
  return line;
}

std::string InternalLine::format() const {
  return std::to_string(code) + "," + text + "," + (switch1 ? "1" : "0") + "," + (switch2 ? "1" : "0") + "," +
         std::to_string(number);
}

}  // namespace zorvik::message
