#include "message/Uuencode.h"

#include <cstdint>

namespace zorvik::message {
namespace {

constexpr std::size_t kLineBytes = 45;

// 0 is written as "`" rather than space, so no line ends in spaces that a
// mail relay could strip.
char uuChar(std::uint32_t v) { return v == 0 ? '`' : static_cast<char>(v + 32); }

void appendLine(std::string& out, std::string_view block) {
  out.push_back(uuChar(static_cast<std::uint32_t>(block.size())));
  const auto* p = reinterpret_cast<const unsigned char*>(block.data());
  for (std::size_t i = 0; i < block.size(); i += 3) {
    const std::uint32_t b1 = i + 1 < block.size() ? p[i + 1] : 0;
    const std::uint32_t b2 = i + 2 < block.size() ? p[i + 2] : 0;
    const std::uint32_t v = std::uint32_t{p[i]} << 16 | b1 << 8 | b2;
    out.push_back(uuChar(v >> 18));
    out.push_back(uuChar((v >> 12) & 0x3F));
    out.push_back(uuChar((v >> 6) & 0x3F));
    out.push_back(uuChar(v & 0x3F));
  }
  out.append("\r\n");
}

}  // namespace

std::string uuencodeBody(std::string_view content, std::string_view fileName) {
  std::string out;
  out.reserve(content.size() / kLineBytes * 64 + 64 + fileName.size());
  out.append("begin 666 ");
  out.append(fileName);
  out.append("\r\n");
  for (;;) {
    const std::string_view block = content.substr(0, kLineBytes);
    appendLine(out, block);
    content.remove_prefix(block.size());
    if (block.empty()) break;
  }
  out.append("end\r\n\r\n");
  return out;
}

}  // namespace zorvik::message
