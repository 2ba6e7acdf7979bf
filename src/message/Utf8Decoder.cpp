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
// Unmappable characters hold the replacement's code in the table.
constexpr std::uint16_t kUnmapped =
    static_cast<std::uint16_t>(static_cast<unsigned char>(kSjisReplacement[0]) << 8 |
                               static_cast<unsigned char>(kSjisReplacement[1]));
static_assert(kSjisReplacement.size() == 2);

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
// kUnmapped (the replacement) when CP932 has no such character. Built
// through iconv, one block of characters a call, each character on its own
// line, so that an unmappable one comes back as an empty line. (Blocks stay
// short because every refused character costs iconv work in proportion to
// what follows it in the call: the whole plane in one call takes seconds.)
constexpr char32_t kBlock = 32;

void readBlock(char32_t first, std::vector<std::uint16_t>& table) {
  std::string utf8;
  for (char32_t cp = first; cp < first + kBlock; ++cp) {
    if (!isSurrogate(cp)) appendUtf8(utf8, cp);
    utf8.push_back('\n');
  }
  const std::string sjis = platform::utf8ToSjis(utf8, "");
  std::size_t pos = 0;
  for (char32_t cp = first; cp < first + kBlock; ++cp) {
    // A trail byte is never 0x0A, so the line ends are unambiguous.
    const std::size_t end = sjis.find('\n', pos);
    if (end == std::string::npos) return;
    const auto* p = reinterpret_cast<const unsigned char*>(sjis.data() + pos);
    if (end - pos == 1) table[cp] = p[0];
    if (end - pos == 2) table[cp] = static_cast<std::uint16_t>((p[0] << 8) | p[1]);
    pos = end + 1;
  }
}

std::vector<std::uint16_t> buildTable() {
  std::vector<std::uint16_t> table(kPlaneSize, kUnmapped);
  for (char32_t first = kFirstNonAscii; first < kPlaneSize; first += kBlock) readBlock(first, table);
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

// Writes a table code without a branch on its length: the second byte is
// written either way and kept only for a double-byte code.
char* putCode(char* out, std::uint16_t code) {
  const bool single = code < 0x100;
  out[0] = static_cast<char>(single ? code : code >> 8);
  out[1] = static_cast<char>(code & 0xFF);
  return out + (single ? 1 : 2);
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
    // Japanese text is almost all three-byte characters: take a whole one
    // at once when its lead byte needs no check of the second byte's range.
    if (c >= 0xE1 && c != 0xED && c <= 0xEF && i + 2 < size && isContinuation(p[i + 1]) &&
        isContinuation(p[i + 2])) {
      const char32_t cp = (char32_t{c} & 0x0F) << 12 | (char32_t{p[i + 1]} & 0x3F) << 6 | (p[i + 2] & 0x3F);
      out = putCode(out, table[cp]);
      i += 3;
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

bool Utf8Decoder::isMultiByteText(std::string_view bytes) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  bool multiByte = false;
  for (std::size_t i = 0; i < bytes.size();) {
    if (p[i] < 0x80) {
      ++i;
      continue;
    }
    const LeadInfo lead = leadInfo(p[i]);
    const auto length = static_cast<std::size_t>(lead.length);
    if (length == 0 || bytes.size() - i < length || p[i + 1] < lead.low || p[i + 1] > lead.high) return false;
    for (std::size_t k = 2; k < length; ++k)
      if (!isContinuation(p[i + k])) return false;
    multiByte = true;
    i += length;
  }
  return multiByte;
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
