#include "net/SmtpAddress.h"

namespace zorvik::net {

namespace {

bool isControl(unsigned char c) { return c < 0x20 || c == 0x7F; }

}  // namespace

bool isSafeEnvelopeAddress(std::string_view address) {
  if (address.empty()) return false;
  for (const char c : address) {
    if (isControl(static_cast<unsigned char>(c)) || c == '<' || c == '>') return false;
  }
  return true;
}

std::string visibleAddress(std::string_view address) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string shown;
  for (const char c : address) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '\r') {
      shown += "\\r";
    } else if (c == '\n') {
      shown += "\\n";
    } else if (isControl(byte)) {
      shown += "\\x";
      shown += kHex[byte >> 4];
      shown += kHex[byte & 0xF];
    } else {
      shown += c;
    }
  }
  return shown;
}

std::string_view trimAddress(std::string_view address) {
  constexpr std::string_view kSpace = " \t\r\n";
  const std::size_t first = address.find_first_not_of(kSpace);
  if (first == std::string_view::npos) return {};
  return address.substr(first, address.find_last_not_of(kSpace) - first + 1);
}

}  // namespace zorvik::net
