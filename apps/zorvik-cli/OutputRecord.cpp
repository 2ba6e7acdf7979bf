#include "OutputRecord.h"

#include <cstdio>
#include <string_view>

namespace zorvik::cli {
namespace {

std::string jsonString(std::string_view utf8) {
  std::string out = "\"";
  for (const char c : utf8) {
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          char escaped[8];
          std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
          out += escaped;
        } else {
          out += c;
        }
    }
  }
  return out + "\"";
}

// A tab-separated field: the characters that would split the record escaped.
std::string tabField(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (const char c : utf8) {
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '\t': out += "\\t"; break;
      case '\r': out += "\\r"; break;
      case '\n': out += "\\n"; break;
      default: out += c;
    }
  }
  return out;
}

}  // namespace

std::string outputRecord(const std::vector<std::string>& utf8Fields, bool json) {
  std::string line = json ? "[" : "";
  for (std::size_t i = 0; i < utf8Fields.size(); ++i) {
    if (i > 0) line += json ? "," : "\t";
    line += json ? jsonString(utf8Fields[i]) : tabField(utf8Fields[i]);
  }
  if (json) line += "]";
  return line;
}

}  // namespace zorvik::cli
