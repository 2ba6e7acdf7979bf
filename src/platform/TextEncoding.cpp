#include "platform/TextEncoding.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <mutex>
#include <unordered_map>
#include <string>

namespace zorvik::platform {
namespace {

constexpr std::string_view kUnicodeReplacement = "\xEF\xBF\xBD";

// One iconv descriptor for one conversion; closed on scope exit.
class IconvHandle {
public:
  IconvHandle(const std::string& to, const std::string& from)
      : handle_(iconv_open(to.c_str(), from.c_str())) {}
  ~IconvHandle() {
    if (valid()) iconv_close(handle_);
  }
  IconvHandle(const IconvHandle&) = delete;
  IconvHandle& operator=(const IconvHandle&) = delete;

  bool valid() const { return handle_ != reinterpret_cast<iconv_t>(-1); }
  iconv_t get() const { return handle_; }

private:
  iconv_t handle_;
};

// Converts `text`, replacing every byte iconv refuses by `replacement` and
// skipping it, so a single bad byte never loses the rest of the text.
std::string convert(const IconvHandle& cd, std::string_view text, std::string_view replacement) {
  std::string out;
  out.reserve(text.size() + text.size() / 2 + 16);
  char* in = const_cast<char*>(text.data());
  size_t inLeft = text.size();
  char buffer[4096];
  while (inLeft > 0) {
    char* outPtr = buffer;
    size_t outLeft = sizeof buffer;
    const size_t rc = iconv(cd.get(), &in, &inLeft, &outPtr, &outLeft);
    out.append(buffer, static_cast<size_t>(outPtr - buffer));
    if (rc != static_cast<size_t>(-1)) break;
    if (errno == E2BIG) continue;
    // EILSEQ or EINVAL: an unconvertible or truncated sequence. Skip one byte
    // of it (a whole UTF-8 sequence when the input is UTF-8 is handled by
    // skipping its continuation bytes on the following rounds).
    out.append(replacement);
    ++in;
    --inLeft;
    iconv(cd.get(), nullptr, nullptr, nullptr, nullptr);
  }
  char* outPtr = buffer;
  size_t outLeft = sizeof buffer;
  iconv(cd.get(), nullptr, nullptr, &outPtr, &outLeft);
  out.append(buffer, static_cast<size_t>(outPtr - buffer));
  return out;
}

// Converts UTF-8 in short pieces that end on character boundaries. glibc's
// iconv recomputes its position within the whole piece it was given when it
// meets a character it cannot convert, so handing it the whole text makes
// each refused character cost as much as the rest of the text; short pieces
// keep a text full of such characters (Hangul, emoji) linear.
// A refused character gives one replacement, not one per byte.
std::string convertUtf8(const IconvHandle& cd, std::string_view text, std::string_view replacement) {
  constexpr std::size_t kPiece = 256;
  std::string out;
  out.reserve(text.size());
  char buffer[kPiece * 4];
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = std::min(text.size(), start + kPiece);
    while (end < text.size() && end > start + 1 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
    char* const pieceStart = const_cast<char*>(text.data() + start);
    char* in = pieceStart;
    size_t inLeft = end - start;
    char* outPtr = buffer;
    size_t outLeft = sizeof buffer;
    const size_t rc = iconv(cd.get(), &in, &inLeft, &outPtr, &outLeft);
    out.append(buffer, static_cast<size_t>(outPtr - buffer));
    start = static_cast<std::size_t>(in - text.data());
    if (rc != static_cast<size_t>(-1)) continue;
    // A character cut by the piece's end is taken up by the next piece.
    if (errno == EINVAL && end < text.size() && in > pieceStart) continue;
    out.append(replacement);
    ++start;
    while (start < text.size() && (static_cast<unsigned char>(text[start]) & 0xC0) == 0x80) ++start;
    iconv(cd.get(), nullptr, nullptr, nullptr, nullptr);
  }
  return out;
}

}  // namespace

bool isAscii(std::string_view text) {
  for (const char c : text)
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  return true;
}

std::string utf8ToSjis(std::string_view utf8, std::string_view replacement) {
  if (isAscii(utf8)) return std::string(utf8);
  const IconvHandle cd("CP932", "UTF-8");
  return convertUtf8(cd, utf8, replacement);
}

std::string sjisToUtf8(std::string_view sjis) {
  if (isAscii(sjis)) return std::string(sjis);
  const IconvHandle cd("UTF-8", "CP932");
  return convert(cd, sjis, kUnicodeReplacement);
}

std::optional<std::string> charsetToSjis(std::string_view charset, std::string_view text,
                                         std::string_view replacement) {
  const IconvHandle toUnicode("UTF-8", std::string(charset));
  if (!toUnicode.valid()) return std::nullopt;
  return utf8ToSjis(convert(toUnicode, text, kUnicodeReplacement), replacement);
}

const std::string& sjisLiteral(const char* utf8) {
  static std::mutex mutex;
  static std::unordered_map<const char*, std::string> converted;
  const std::lock_guard lock(mutex);
  auto it = converted.find(utf8);
  if (it == converted.end()) it = converted.emplace(utf8, utf8ToSjis(utf8)).first;
  return it->second;
}

}  // namespace zorvik::platform
