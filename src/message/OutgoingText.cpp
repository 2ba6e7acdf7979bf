#include "message/OutgoingText.h"

namespace zorvik::message {

std::string singleLine(std::string_view text) {
  std::string line(text);
  for (char& c : line) {
    if (c == '\r' || c == '\n' || c == '\0') c = ' ';
  }
  return line;
}

std::string sevenBit(std::string text) {
  for (char& c : text) {
    if (static_cast<unsigned char>(c) >= 0x80) c = '?';
  }
  return text;
}

std::string quotedContent(std::string_view text) {
  std::string quoted;
  quoted.reserve(text.size() + 2);
  for (const char c : text) {
    if (c == '"' || c == '\\') quoted += '\\';
    quoted += c;
  }
  return quoted;
}

}  // namespace zorvik::message
