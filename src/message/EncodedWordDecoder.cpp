#include "message/EncodedWordDecoder.h"

#include "core/SjisText.h"
#include "message/Base64.h"
#include "message/JapaneseCodec.h"
#include "message/QuotedPrintable.h"
#include "message/Utf8Decoder.h"
#include "platform/TextEncoding.h"

#include <algorithm>
#include <array>
#include <optional>

namespace zorvik::message {
namespace {

// How the text of an encoded word becomes Shift_JIS, by its charset.
enum class WordConversion {
  kept,   // bytes kept as they are (ISO-2022-JP is converted with the whole value)
  latin,  // single-byte European text, converted through iconv
  utf8,
};

struct Charset {
  std::string_view name;
  WordConversion conversion;
};

constexpr std::array<Charset, 5> kCharsets = {{{"ISO-2022-JP", WordConversion::kept},
                                               {"US-ASCII", WordConversion::kept},
                                               {"ISO-8859-1", WordConversion::latin},
                                               {"ISO-8859-2", WordConversion::latin},
                                               {"UTF-8", WordConversion::utf8}}};

constexpr std::string_view kWordStart = "=?";
constexpr std::string_view kWordEnd = "?=";

char upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }
bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// One recognised encoded word: its charset, whether it is B (base64) or Q,
// the encoded text and where the word ends in the value.
struct Word {
  const Charset* charset = nullptr;
  bool base64 = false;
  std::string_view payload;
  std::size_t end = 0;
};

// The word that starts at `at` ("=?..."), if it is one this decoder reads.
std::optional<Word> wordAt(std::string_view value, std::size_t at) {
  if (value.compare(at, kWordStart.size(), kWordStart) != 0) return std::nullopt;
  const std::string_view rest = value.substr(at + kWordStart.size());
  for (const Charset& charset : kCharsets) {
    // "?B?" or "?Q?" right after the name; the name's own closing "?" is the
    // marker's first character.
    const std::string_view afterName = rest.substr(std::min(charset.name.size(), rest.size()));
    if (!core::startsWithIgnoringAsciiCase(rest, charset.name) || afterName.size() < 3 || afterName[0] != '?' ||
        afterName[2] != '?')
      continue;
    const char marker = upper(afterName[1]);
    if (marker != 'B' && marker != 'Q') return std::nullopt;
    const std::size_t payloadStart = value.size() - afterName.size() + 3;
    const std::size_t close = value.find(kWordEnd, payloadStart);
    const std::size_t payloadEnd = close == std::string_view::npos ? value.size() : close;
    const std::size_t end = close == std::string_view::npos ? value.size() : close + kWordEnd.size();
    return Word{&charset, marker == 'B', value.substr(payloadStart, payloadEnd - payloadStart), end};
  }
  return std::nullopt;
}

// "=XX" with upper-case hex gives a byte, "_" a space; a malformed "=" is
// dropped and the bytes after it stay text.
std::string decodeQ(std::string_view text) {
  std::string bytes;
  bytes.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '_') {
      bytes += ' ';
    } else if (c != '=') {
      bytes += c;
    } else if (i + 2 < text.size() && upperHexValue(static_cast<unsigned char>(text[i + 1])) >= 0 &&
               upperHexValue(static_cast<unsigned char>(text[i + 2])) >= 0) {
      bytes += static_cast<char>(upperHexValue(static_cast<unsigned char>(text[i + 1])) * 16 +
                                 upperHexValue(static_cast<unsigned char>(text[i + 2])));
      i += 2;
    }
  }
  return bytes;
}

// The decoding of one value. Output collects before the final ISO-2022-JP
// conversion; a UTF-8 character cut at the end of a word waits in utf8_ for
// the next word.
class ValueDecoder {
public:
  explicit ValueDecoder(std::string_view value) : value_(value) { out_.reserve(value.size() + 16); }

  std::string run() {
    std::size_t at = 0;
    while (at < value_.size()) {
      const std::size_t candidate = value_.find(kWordStart, at);
      if (candidate == std::string_view::npos) {
        appendText(value_.substr(at));
        break;
      }
      appendText(value_.substr(at, candidate - at));
      const std::optional<Word> word = wordAt(value_, candidate);
      if (!word) {
        appendText("=");
        at = candidate + 1;
        continue;
      }
      appendWord(*word);
      at = skipSpaceBeforeWord(word->end);
    }
    utf8_.finish(out_);
    return jisToSjis(out_);
  }

private:
  // White space between two words only separates them: it is dropped when a
  // readable word follows, kept otherwise.
  std::size_t skipSpaceBeforeWord(std::size_t at) const {
    std::size_t next = at;
    while (next < value_.size() && isSpace(value_[next])) ++next;
    return next > at && next < value_.size() && wordAt(value_, next) ? next : at;
  }

  void appendText(std::string_view text) {
    if (text.empty()) return;
    utf8_.finish(out_);
    out_.append(text);
  }

  void appendWord(const Word& word) {
    const std::string bytes = word.base64 ? base64DecodeSkipping(word.payload) : decodeQ(word.payload);
    if (word.charset->conversion == WordConversion::utf8) {
      utf8_.decode(bytes, out_);
      return;
    }
    utf8_.finish(out_);
    if (word.charset->conversion == WordConversion::kept) {
      out_.append(bytes);
      return;
    }
    out_.append(platform::charsetToSjis(word.charset->name, bytes, kSjisReplacement).value_or(bytes));
  }

  std::string_view value_;
  std::string out_;
  Utf8Decoder utf8_;
};

}  // namespace

std::string EncodedWordDecoder::decode(std::string_view value) { return ValueDecoder(value).run(); }

}  // namespace zorvik::message
