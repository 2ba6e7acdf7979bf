#include "message/RawHeaderText.h"

#include "message/Utf8Decoder.h"

#include <algorithm>

namespace zorvik::message {

std::string RawHeaderText::toSjis(std::string_view text) {
  const bool allAscii = std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
  if (allAscii) return std::string(text);
  std::string out;
  out.reserve(text.size() + 16);
  while (!text.empty()) {
    const std::size_t lf = text.find('\n');
    const std::string_view line = text.substr(0, lf == std::string_view::npos ? text.size() : lf + 1);
    text.remove_prefix(line.size());
    if (!Utf8Decoder::isMultiByteText(line)) {
      out.append(line);
      continue;
    }
    Utf8Decoder utf8;
    utf8.decode(line, out);
    utf8.finish(out);
  }
  return out;
}

}  // namespace zorvik::message
