#include "message/JapaneseCodec.h"

#include "core/SjisText.h"
#include "message/Base64.h"

#include <array>
#include <cstdint>
#include <cstring>

namespace zorvik::message {
namespace {

constexpr unsigned char kEsc = 0x1B;
constexpr unsigned char kShiftOut = 0x0E;
constexpr unsigned char kShiftIn = 0x0F;
constexpr std::string_view kKanjiIn = "\x1B$B";
constexpr std::string_view kAsciiIn = "\x1B(B";

bool isJisByte(unsigned char c) { return c >= 0x21 && c <= 0x7E; }
bool isHalfWidthKanaJis(unsigned char c) { return c >= 0x21 && c <= 0x5F; }
bool isTrailByte(unsigned char c) { return c >= 0x40 && c <= 0xFC && c != 0x7F; }

// JIS X 0208 row/cell bytes to the Shift_JIS pair, by table: the lead byte
// depends on the row byte alone, the trail byte on the cell byte and on
// whether the row byte is odd.
struct SjisTables {
  std::array<unsigned char, 128> lead{};
  std::array<unsigned char, 256> trail{};  // [odd row << 7 | cell]
};

constexpr SjisTables kSjisTables = [] {
  SjisTables t;
  for (int j = 0x21; j <= 0x7E; ++j) {
    t.lead[static_cast<std::size_t>(j)] = static_cast<unsigned char>(((j + 1) >> 1) + (j >= 0x5F ? 0xB0 : 0x70));
    t.trail[static_cast<std::size_t>(0x80 | j)] = static_cast<unsigned char>(j + 0x1F + (j >= 0x60 ? 1 : 0));
    t.trail[static_cast<std::size_t>(j)] = static_cast<unsigned char>(j + 0x7E);
  }
  return t;
}();

void jisPairToSjis(unsigned char j1, unsigned char j2, unsigned char* out) {
  out[0] = kSjisTables.lead[j1 & 0x7F];
  out[1] = kSjisTables.trail[static_cast<std::size_t>((j1 & 1) << 7 | (j2 & 0x7F))];
}

enum class JisMode { ascii, kanji, katakana };

// Reads the escape sequence at `p` (`left` bytes from the ESC on): true, with
// `mode` set, for the five we know; false for any other or a cut one.
bool readEscape(const unsigned char* p, std::size_t left, JisMode& mode) {
  if (left < 3) return false;
  if (p[1] == '$' && (p[2] == '@' || p[2] == 'B')) {
    mode = JisMode::kanji;
    return true;
  }
  if (p[1] != '(') return false;
  if (p[2] == 'B' || p[2] == 'J') {
    mode = JisMode::ascii;
    return true;
  }
  if (p[2] == 'I') {
    mode = JisMode::katakana;
    return true;
  }
  return false;
}

// Index of a Shift_JIS pair among the 188 codes of its lead byte.
int trailIndex(unsigned char s2) { return s2 < 0x80 ? s2 - 0x40 : s2 - 0x41; }
unsigned char trailByte(int index) {
  return static_cast<unsigned char>(index < 0x3F ? index + 0x40 : index + 0x41);
}

// The IBM extension symbols 0xFA40-0xFA5B, each as the code CP932 also gives
// the same character under: JIS X 0208 first, then NEC row 13, then the
// NEC-selected IBM rows. (The kanji from 0xFA5C on follow the NEC-selected
// rows 0xED40.. one for one, in the same order.)
constexpr std::array<std::uint16_t, 28> kIbmSymbols = {
    0xEEEF, 0xEEF0, 0xEEF1, 0xEEF2, 0xEEF3, 0xEEF4, 0xEEF5, 0xEEF6, 0xEEF7, 0xEEF8,
    0x8754, 0x8755, 0x8756, 0x8757, 0x8758, 0x8759, 0x875A, 0x875B, 0x875C, 0x875D,
    0x81CA, 0xEEFA, 0xEEFB, 0xEEFC, 0x878A, 0x8782, 0x8784, 0x81E6};
constexpr int kIbmKanjiStart = 28;         // 0xFA5C
constexpr int kIbmKanjiCount = 360;        // up to 0xFC4B
constexpr int kCodesPerLead = 188;

// Moves an IBM extension code (lead 0xFA-0xFC) to its NEC equivalent.
// False for the codes above 0xFC4B, which CP932 leaves undefined.
bool ibmToNec(unsigned char& s1, unsigned char& s2) {
  const int index = (s1 - 0xFA) * kCodesPerLead + trailIndex(s2);
  if (index < kIbmKanjiStart) {
    s1 = static_cast<unsigned char>(kIbmSymbols[static_cast<std::size_t>(index)] >> 8);
    s2 = static_cast<unsigned char>(kIbmSymbols[static_cast<std::size_t>(index)] & 0xFF);
    return true;
  }
  const int kanji = index - kIbmKanjiStart;
  if (kanji >= kIbmKanjiCount) return false;
  s1 = static_cast<unsigned char>(0xED + kanji / kCodesPerLead);
  s2 = trailByte(kanji % kCodesPerLead);
  return true;
}

// Shift_JIS pair to JIS X 0208 bytes; false when the pair has no place in
// the 94x94 rows (user-defined area, undefined lead bytes).
bool sjisPairToJis(unsigned char s1, unsigned char s2, unsigned char* out) {
  if (s1 >= 0xFA && s1 <= 0xFC && !ibmToNec(s1, s2)) return false;
  if (s1 < 0x81 || (s1 > 0x9F && s1 < 0xE0) || s1 > 0xEF) return false;
  int j1 = (s1 - (s1 >= 0xE0 ? 0xB0 : 0x70)) * 2;
  int j2 = s2;
  if (s2 >= 0x9F) {
    j2 -= 0x7E;
  } else {
    --j1;
    j2 -= (s2 >= 0x80 ? 0x20 : 0x1F);
  }
  out[0] = static_cast<unsigned char>(j1);
  out[1] = static_cast<unsigned char>(j2);
  return true;
}

// Writes one run of double-byte characters as an encoded word or as an
// escaped run.
void closeRun(std::string& out, std::size_t runStart, JisRuns runs) {
  out.append(kAsciiIn);
  if (runs == JisRuns::plain) return;
  const std::string word = encodedWord(std::string_view(out).substr(runStart));
  out.replace(runStart, std::string::npos, word);
}

}  // namespace

std::size_t jisToSjisInPlace(char* text, std::size_t size) {
  auto* p = reinterpret_cast<unsigned char*>(text);
  JisMode mode = JisMode::ascii;
  bool shiftOut = false;
  std::size_t in = 0;
  std::size_t out = 0;
  while (in < size) {
    if (mode == JisMode::ascii && !shiftOut) {
      // Plain text runs up to the next escape or shift-out: move it whole.
      const std::size_t start = in;
      while (in < size && p[in] != kEsc && p[in] != kShiftOut) ++in;
      if (out != start) std::memmove(p + out, p + start, in - start);
      out += in - start;
      if (in == size) break;
    }
    if (mode == JisMode::kanji) {
      while (in + 1 < size && isJisByte(p[in]) && isJisByte(p[in + 1])) {
        jisPairToSjis(p[in], p[in + 1], p + out);
        in += 2;
        out += 2;
      }
      if (in >= size) break;
    }
    const unsigned char c = p[in];
    if (c == kEsc) {
      // Unknown escape or ESC at the end: only the ESC goes.
      in += readEscape(p + in, size - in, mode) ? 3 : 1;
      continue;
    }
    if (mode == JisMode::kanji && isJisByte(c)) {
      // Half a character at the end, or before a line end or an 8-bit byte.
      ++in;
      continue;
    }
    ++in;
    if (c == kShiftOut && mode != JisMode::katakana) {
      shiftOut = true;
      continue;
    }
    if (c == kShiftIn && shiftOut) {
      shiftOut = false;
      continue;
    }
    const bool kana = (mode == JisMode::katakana || shiftOut) && isHalfWidthKanaJis(c);
    p[out++] = kana ? static_cast<unsigned char>(c | 0x80) : c;
  }
  return out;
}

std::string jisToSjis(std::string_view jis) {
  std::string text(jis);
  text.resize(jisToSjisInPlace(text.data(), text.size()));
  return text;
}

void appendSjisToJis(std::string& out, std::string_view line, JisRuns runs) {
  const std::size_t lineFeed = line.find('\n');
  if (lineFeed != std::string_view::npos) line = line.substr(0, lineFeed);
  const auto* p = reinterpret_cast<const unsigned char*>(line.data());
  const std::size_t size = line.size();
  bool inRun = false;
  std::size_t runStart = 0;
  std::size_t i = 0;
  while (i < size) {
    const unsigned char c = p[i];
    if (!core::isSjisLeadByte(c)) {
      if (inRun) closeRun(out, runStart, runs);
      inRun = false;
      // Copy the whole single-byte stretch at once: most text is ASCII.
      std::size_t end = i + 1;
      while (end < size && !core::isSjisLeadByte(p[end])) ++end;
      out.append(line.data() + i, end - i);
      i = end;
      continue;
    }
    if (i + 1 >= size) break;  // a lone lead byte at the end is dropped
    if (!inRun) {
      runStart = out.size();
      out.append(kKanjiIn);
      inRun = true;
    }
    unsigned char jis[2];
    const bool trail = isTrailByte(p[i + 1]);
    if (trail && sjisPairToJis(c, p[i + 1], jis))
      out.append(reinterpret_cast<const char*>(jis), 2);
    else
      out.append(kJisReplacement);
    i += trail ? 2 : 1;
  }
  if (inRun) closeRun(out, runStart, runs);
}

std::string sjisToJis(std::string_view line, JisRuns runs) {
  std::string out;
  out.reserve(line.size() * 2 + 100);
  appendSjisToJis(out, line, runs);
  return out;
}

std::string encodedWord(std::string_view bytes) {
  std::string word = "=?ISO-2022-JP?B?";
  appendBase64(word, bytes);
  word.append("?=");
  return word;
}

}  // namespace zorvik::message
