#include "message/Base64.h"

namespace zorvik::message {
namespace {

constexpr std::size_t kMimeLineBytes = 57;  // 76 characters a line

// Encodes `bytes` into `out`, which has room for the padded text.
void encodeInto(std::string_view bytes, char* out) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  std::size_t n = bytes.size();
  for (; n >= 3; n -= 3, p += 3) {
    const unsigned v = (unsigned{p[0]} << 16) | (unsigned{p[1]} << 8) | p[2];
    *out++ = kBase64Alphabet[v >> 18];
    *out++ = kBase64Alphabet[(v >> 12) & 0x3F];
    *out++ = kBase64Alphabet[(v >> 6) & 0x3F];
    *out++ = kBase64Alphabet[v & 0x3F];
  }
  if (n == 0) return;
  const unsigned v = (unsigned{p[0]} << 16) | (n == 2 ? unsigned{p[1]} << 8 : 0u);
  *out++ = kBase64Alphabet[v >> 18];
  *out++ = kBase64Alphabet[(v >> 12) & 0x3F];
  *out++ = n == 2 ? kBase64Alphabet[(v >> 6) & 0x3F] : '=';
  *out = '=';
}

std::size_t encodedSize(std::size_t bytes) { return (bytes + 2) / 3 * 4; }

}  // namespace

void appendBase64(std::string& out, std::string_view bytes) {
  const std::size_t start = out.size();
  out.resize(start + encodedSize(bytes.size()));
  encodeInto(bytes, out.data() + start);
}

std::string base64Encode(std::string_view bytes) {
  std::string out;
  appendBase64(out, bytes);
  return out;
}

std::string base64DecodeSkipping(std::string_view text) {
  std::string out;
  out.reserve(text.size() / 4 * 3 + 3);
  unsigned bits = 0;
  int count = 0;
  for (const char c : text) {
    const int v = base64Value(static_cast<unsigned char>(c));
    if (v < 0) continue;
    bits = (bits << 6) | static_cast<unsigned>(v);
    count += 6;
    if (count < 8) continue;
    count -= 8;
    out.push_back(static_cast<char>((bits >> count) & 0xFF));
  }
  return out;
}

std::string base64MimeBody(std::string_view content) {
  const std::size_t lines = content.size() / kMimeLineBytes + 1;
  std::string out;
  out.reserve(encodedSize(content.size()) + lines * 2 + 2);
  while (content.size() >= kMimeLineBytes) {
    appendBase64(out, content.substr(0, kMimeLineBytes));
    out.append("\r\n");
    content.remove_prefix(kMimeLineBytes);
  }
  // The last, shorter block is written even when empty, and a padded one is
  // followed by an empty line, as the attachments Zorvik always sent were.
  appendBase64(out, content);
  out.append("\r\n");
  if (content.size() % 3 != 0) out.append("\r\n");
  return out;
}

}  // namespace zorvik::message
