#include "message/QuotedPrintable.h"

#include <cstring>

namespace zorvik::message {

int upperHexValue(unsigned char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::size_t decodeQuotedPrintableLine(std::string_view line, char* out) {
  const std::size_t size = line.size();
  char* const start = out;
  std::size_t i = 0;
  while (i < size) {
    // Copy the plain stretch up to the next "=" in one go.
    const std::size_t equals = line.find('=', i);
    const std::size_t plainEnd = equals == std::string_view::npos ? size : equals;
    std::memcpy(out, line.data() + i, plainEnd - i);
    out += plainEnd - i;
    if (plainEnd == size) break;
    i = equals + 1;
    if (i + 1 < size) {
      const int high = upperHexValue(static_cast<unsigned char>(line[i]));
      const int low = upperHexValue(static_cast<unsigned char>(line[i + 1]));
      if (high >= 0 && low >= 0) {
        *out++ = static_cast<char>(high * 16 + low);
        i += 2;
        continue;
      }
    }
    // A soft break: the line end after "=" is not part of the text. A bare
    // LF counts as well as CR LF, for bodies whose CRs were already dropped.
    const std::string_view rest = line.substr(i);
    if (rest.starts_with("\r\n") || rest.starts_with('\n')) break;
    // Any other "=" is dropped and the scan goes on after it.
  }
  return static_cast<std::size_t>(out - start);
}

void appendQuotedPrintableLine(std::string& out, std::string_view line) {
  const std::size_t start = out.size();
  out.resize(start + line.size());
  out.resize(start + decodeQuotedPrintableLine(line, out.data() + start));
}

std::string decodeQuotedPrintable(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  while (!text.empty()) {
    const std::size_t lineFeed = text.find('\n');
    const std::size_t lineSize = lineFeed == std::string_view::npos ? text.size() : lineFeed + 1;
    appendQuotedPrintableLine(out, text.substr(0, lineSize));
    text.remove_prefix(lineSize);
  }
  return out;
}

}  // namespace zorvik::message
