#include "search/CharacterFold.h"

#include <array>
#include <mutex>
#include <unordered_map>

#include "core/SjisText.h"
#include "message/HalfWidthKana.h"
#include "platform/TextEncoding.h"

namespace zorvik::search {
namespace {

constexpr unsigned char kFirstHalfKana = 0xA1;
constexpr unsigned char kLastHalfKana = 0xDF;
constexpr unsigned char kVoicedMark = 0xDE;      // ﾞ
constexpr unsigned char kSemiVoicedMark = 0xDF;  // ﾟ

std::uint16_t codeOf(std::string_view sjis) {
  if (sjis.size() == 1) return static_cast<unsigned char>(sjis[0]);
  if (sjis.size() != 2) return 0;
  return static_cast<std::uint16_t>(static_cast<unsigned char>(sjis[0]) << 8 | static_cast<unsigned char>(sjis[1]));
}

// The Shift_JIS code of one Unicode character; 0 when CP932 has none.
std::uint16_t sjisCodeOf(char32_t unicode) {
  std::string utf8;
  if (unicode < 0x800) {
    utf8 = {static_cast<char>(0xC0 | unicode >> 6), static_cast<char>(0x80 | (unicode & 0x3F))};
  } else {
    utf8 = {static_cast<char>(0xE0 | unicode >> 12), static_cast<char>(0x80 | ((unicode >> 6) & 0x3F)),
            static_cast<char>(0x80 | (unicode & 0x3F))};
  }
  const std::string sjis = platform::utf8ToSjis(utf8, "");
  return sjis.size() == 2 ? codeOf(sjis) : 0;
}

// Built once: which double-byte characters are full-width ASCII or hiragana,
// and what each half-width katakana (alone or with a voicing mark) is.
struct FoldTables {
  std::array<std::uint16_t, 0x10000> fullWidthAscii{};  // double-byte code -> ASCII, 0 if none
  std::array<std::uint16_t, 0x10000> hiraganaToKatakana{};
  std::array<std::uint16_t, 0x100> halfKana{};    // single byte -> full-width katakana
  std::array<std::uint16_t, 0x100> voiced{};      // kana byte + ﾞ
  std::array<std::uint16_t, 0x100> semiVoiced{};  // kana byte + ﾟ

  FoldTables() {
    for (char32_t ascii = 0x21; ascii <= 0x7E; ++ascii) {
      if (const std::uint16_t wide = sjisCodeOf(0xFF01 + (ascii - 0x21))) fullWidthAscii[wide] = ascii;
    }
    if (const std::uint16_t space = sjisCodeOf(0x3000)) fullWidthAscii[space] = ' ';
    for (char32_t hiragana = 0x3041; hiragana <= 0x3093; ++hiragana) {
      const std::uint16_t from = sjisCodeOf(hiragana);
      const std::uint16_t to = sjisCodeOf(hiragana + 0x60);
      if (from && to) hiraganaToKatakana[from] = to;
    }
    for (unsigned c = kFirstHalfKana; c <= kLastHalfKana; ++c)
      halfKana[c] = codeOf(message::hankanaToZenkana(std::string(1, static_cast<char>(c))));
    // The voiced forms follow their plain forms directly in both Unicode
    // and Shift_JIS (カ ガ, ハ バ パ); ウ is the one exception.
    for (unsigned c = kFirstHalfKana; c <= kLastHalfKana; ++c) {
      const std::string plain = platform::sjisToUtf8(bytesOf(halfKana[c]));
      if (std::string_view("カキクケコサシスセソタチツテトハヒフヘホ").find(plain) != std::string_view::npos)
        voiced[c] = static_cast<std::uint16_t>(halfKana[c] + 1);
      if (std::string_view("ハヒフヘホ").find(plain) != std::string_view::npos)
        semiVoiced[c] = static_cast<std::uint16_t>(halfKana[c] + 2);
      if (plain == "ウ") voiced[c] = sjisCodeOf(0x30F4);  // ヴ
    }
  }
};

const FoldTables& tables() {
  static const FoldTables built;
  return built;
}

}  // namespace

std::string bytesOf(std::uint16_t code) {
  if (code < 0x100) return std::string(1, static_cast<char>(code));
  return {static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
}

CharacterFold::CharacterFold(FoldOptions options) : options_(options) {
  if (options_.ignoreWidth || options_.ignoreKana) tables();
}

std::uint16_t CharacterFold::foldSingle(unsigned char c) const {
  if (options_.ignoreCase && c >= 'A' && c <= 'Z') return static_cast<std::uint16_t>(c - 'A' + 'a');
  return c;
}

std::uint16_t CharacterFold::foldDouble(std::uint16_t code) const {
  if (options_.ignoreWidth) {
    if (const std::uint16_t ascii = tables().fullWidthAscii[code]) return foldSingle(static_cast<unsigned char>(ascii));
  }
  if (options_.ignoreKana) {
    if (const std::uint16_t katakana = tables().hiraganaToKatakana[code]) return katakana;
  }
  return code;
}

FoldedChar CharacterFold::at(std::string_view text, std::size_t at) const {
  const auto c = static_cast<unsigned char>(text[at]);
  const bool hasNext = at + 1 < text.size();
  if (core::isSjisLeadByte(c) && hasNext)
    return {foldDouble(static_cast<std::uint16_t>(c << 8 | static_cast<unsigned char>(text[at + 1]))), 2};
  if (!options_.ignoreWidth || c < kFirstHalfKana || c > kLastHalfKana) return {foldSingle(c), 1};
  const FoldTables& kana = tables();
  if (hasNext) {
    const auto mark = static_cast<unsigned char>(text[at + 1]);
    if (mark == kVoicedMark && kana.voiced[c]) return {foldDouble(kana.voiced[c]), 2};
    if (mark == kSemiVoicedMark && kana.semiVoiced[c]) return {foldDouble(kana.semiVoiced[c]), 2};
  }
  return {foldDouble(kana.halfKana[c]), 1};
}

std::vector<std::string> CharacterFold::formsOf(std::uint16_t code) const {
  // Every character there is, by its folded code: built once for each way
  // of folding, the first time a search asks.
  using FormTable = std::unordered_map<std::uint16_t, std::vector<std::string>>;
  static std::array<std::once_flag, 8> built;
  static std::array<FormTable, 8> tables;
  const std::size_t way =
      (options_.ignoreCase ? 1 : 0) | (options_.ignoreWidth ? 2 : 0) | (options_.ignoreKana ? 4 : 0);
  std::call_once(built[way], [&] {
    FormTable& table = tables[way];
    const auto add = [&](std::string bytes) {
      const FoldedChar folded = at(bytes, 0);
      if (folded.length == bytes.size()) table[folded.code].push_back(std::move(bytes));
    };
    // A lead byte alone is a character only at the very end of a text.
    for (unsigned c = 0; c < 0x100; ++c) add(std::string(1, static_cast<char>(c)));
    for (unsigned lead = 0x80; lead < 0x100; ++lead) {
      if (!core::isSjisLeadByte(static_cast<unsigned char>(lead))) continue;
      for (unsigned trail = 0; trail < 0x100; ++trail)  // any byte after a lead is its trail
        add({static_cast<char>(lead), static_cast<char>(trail)});
    }
    if (!options_.ignoreWidth) return;
    for (unsigned c = kFirstHalfKana; c <= kLastHalfKana; ++c) {
      add({static_cast<char>(c), static_cast<char>(kVoicedMark)});
      add({static_cast<char>(c), static_cast<char>(kSemiVoicedMark)});
    }
  });
  const auto forms = tables[way].find(code);
  return forms == tables[way].end() ? std::vector<std::string>{} : forms->second;
}

std::vector<std::uint16_t> CharacterFold::codes(std::string_view text) const {
  std::vector<std::uint16_t> folded;
  for (std::size_t i = 0; i < text.size();) {
    const FoldedChar c = at(text, i);
    folded.push_back(c.code);
    i += c.length;
  }
  return folded;
}

}  // namespace zorvik::search
