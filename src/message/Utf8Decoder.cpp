#include "message/Utf8Decoder.h"

#include "message/JapaneseCodec.h"
#include "platform/TextEncoding.h"

#include <cstdint>
#include <cstring>
#include <vector>

namespace zorvik::message {
namespace {

constexpr char32_t kFirstNonAscii = 0x80;
constexpr char32_t kPlaneSize = 0x10000;
constexpr std::uint16_t kUnmapped = 0;

void appendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
  } else {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
  }
  out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
}

bool isSurrogate(char32_t cp) { return cp >= 0xD800 && cp <= 0xDFFF; }

// The CP932 code of every non-ASCII character of the Basic Multilingual
// Plane: below 0x100 a single byte, above it a lead and a trail byte,
// kUnmapped when CP932 has no such character. Built by converting all the
// characters, each on its own line, in one call through iconv; an
// unmappable one comes back as an empty line.
std::vector<std::uint16_t> buildTable() {
  std::string all;
  all.reserve(kPlaneSize * 4);
  for (char32_t cp = kFirstNonAscii; cp < kPlaneSize; ++cp) {
    if (!isSurrogate(cp)) appendUtf8(all, cp);
    all.push_back('\n');
  }
  const std::string sjis = platform::utf8ToSjis(all, "");
  std::vector<std::uint16_t> table(kPlaneSize, kUnmapped);
  std::size_t pos = 0;
  for (char32_t cp = kFirstNonAscii; cp < kPlaneSize && pos < sjis.size(); ++cp) {
    // A trail byte is never 0x0A, so the line ends are unambiguous.
    const std::size_t end = sjis.find('\n', pos);
    if (end == std::string::npos) break;
    const auto* p = reinterpret_cast<const unsigned char*>(sjis.data() + pos);
    if (end - pos == 1) table[cp] = p[0];
    if (end - pos == 2) table[cp] = static_cast<std::uint16_t>((p[0] << 8) | p[1]);
    pos = end + 1;
  }
  return table;
}

const std::vector<std::uint16_t>& cp932Table() {
  static const std::vector<std::uint16_t> table = buildTable();
  return table;
}

bool isContinuation(unsigned char c) { return (c & 0xC0) == 0x80; }

// Length of the sequence a lead byte starts and the range its second byte
// must lie in (which refuses overlong forms, surrogates and code points
// past U+10FFFF); length 0 for a byte that cannot start a character.
struct LeadInfo {
  int length;
  unsigned char low;
  unsigned char high;
};

LeadInfo leadInfo(unsigned char c) {
  if (c >= 0xC2 && c <= 0xDF) return {2, 0x80, 0xBF};
  if (c == 0xE0) return {3, 0xA0, 0xBF};
  if (c == 0xED) return {3, 0x80, 0x9F};
  if (c >= 0xE1 && c <= 0xEF) return {3, 0x80, 0xBF};
  if (c == 0xF0) return {4, 0x90, 0xBF};
  if (c >= 0xF1 && c <= 0xF3) return {4, 0x80, 0xBF};
  if (c == 0xF4) return {4, 0x80, 0x8F};
  return {0, 0, 0};
}

char* putReplacement(char* out) {
  std::memcpy(out, kSjisReplacement.data(), kSjisReplacement.size());
  return out + kSjisReplacement.size();
}

char* putCode(char* out, std::uint16_t code) {
  if (code == kUnmapped) return putReplacement(out);
  if (code < 0x100) {
    *out++ = static_cast<char>(code);
    return out;
  }
  *out++ = static_cast<char>(code >> 8);
  *out++ = static_cast<char>(code & 0xFF);
  return out;
}

}  // namespace

Utf8Decoder::Progress Utf8Decoder::convert(std::string_view utf8, char* out) {
  const std::vector<std::uint16_t>& table = cp932Table();
  const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
  const std::size_t size = utf8.size();
  char* const start = out;
  std::size_t i = 0;
  while (i < size) {
    const unsigned char c = p[i];
    if (c < 0x80) {
      *out++ = static_cast<char>(c);
      ++i;
      continue;
    }
    const LeadInfo lead = leadInfo(c);
    if (lead.length == 0) {
      out = putReplacement(out);
      ++i;
      continue;
    }
    // Check the continuation bytes that are there; a valid prefix cut by
    // the end of the piece waits for the next piece.
    int valid = 1;
    while (valid < lead.length && i + static_cast<std::size_t>(valid) < size) {
      const unsigned char next = p[i + static_cast<std::size_t>(valid)];
      const bool ok = valid == 1 ? next >= lead.low && next <= lead.high : isContinuation(next);
      if (!ok) break;
      ++valid;
    }
    if (valid < lead.length && i + static_cast<std::size_t>(valid) == size) break;
    if (valid < lead.length) {
      // A broken sequence: one replacement for what was read of it, and the
      // byte that broke it starts afresh.
      out = putReplacement(out);
      i += static_cast<std::size_t>(valid);
      continue;
    }
    if (lead.length == 4) {
      out = putReplacement(out);  // CP932 holds nothing beyond U+FFFF
      i += 4;
      continue;
    }
    char32_t cp = 0;
    if (lead.length == 2)
      cp = (char32_t{c} & 0x1F) << 6 | (p[i + 1] & 0x3F);
    else
      cp = (char32_t{c} & 0x0F) << 12 | (char32_t{p[i + 1]} & 0x3F) << 6 | (p[i + 2] & 0x3F);
    out = putCode(out, table[cp]);
    i += static_cast<std::size_t>(lead.length);
  }
  return {i, static_cast<std::size_t>(out - start)};
}

void Utf8Decoder::decode(std::string_view bytes, std::string& out) {
  std::string joined;
  if (!carry_.empty()) {
    joined = carry_ + std::string(bytes);
    bytes = joined;
  }
  const std::size_t start = out.size();
  out.resize(start + 2 * bytes.size());
  const Progress progress = convert(bytes, out.data() + start);
  out.resize(start + progress.written);
  carry_.assign(bytes.substr(progress.consumed));
}

void Utf8Decoder::finish(std::string& out) {
  if (carry_.empty()) return;
  out.append(kSjisReplacement);
  carry_.clear();
}

}  // namespace zorvik::message
