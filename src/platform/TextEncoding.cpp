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

bool isUtf8Continuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// Converts `text` in short pieces. glibc's iconv recomputes its position
// within the whole piece it was given when it meets a byte it cannot
// convert, so handing it the whole text makes each refused character cost as
// much as the rest of the text; short pieces keep even a text full of such
// characters (Hangul, emoji, broken bytes) linear. A refused character gives
// one `replacement` and the conversion goes on after it; with `utf8Input`
// the refused character's continuation bytes are skipped with it.
std::string convert(const IconvHandle& cd, std::string_view text, std::string_view replacement, bool utf8Input) {
  constexpr std::size_t kPiece = 256;
  std::string out;
  out.reserve(text.size() + text.size() / 2);
  char buffer[kPiece * 4];
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = std::min(text.size(), start + kPiece);
    if (utf8Input)
      while (end < text.size() && end > start + 1 && isUtf8Continuation(text[end])) --end;
    char* const pieceStart = const_cast<char*>(text.data() + start);
    char* in = pieceStart;
    size_t inLeft = end - start;
    size_t rc = 0;
    do {
      char* outPtr = buffer;
      size_t outLeft = sizeof buffer;
      rc = iconv(cd.get(), &in, &inLeft, &outPtr, &outLeft);
      out.append(buffer, static_cast<size_t>(outPtr - buffer));
    } while (rc == static_cast<size_t>(-1) && errno == E2BIG);
    start = static_cast<std::size_t>(in - text.data());
    if (rc != static_cast<size_t>(-1)) continue;
    // A character cut by the piece's end is taken up by the next piece.
    if (errno == EINVAL && end < text.size() && in > pieceStart) continue;
    out.append(replacement);
    ++start;
    if (utf8Input)
      while (start < text.size() && isUtf8Continuation(text[start])) ++start;
    iconv(cd.get(), nullptr, nullptr, nullptr, nullptr);
  }
  char* outPtr = buffer;
  size_t outLeft = sizeof buffer;
  iconv(cd.get(), nullptr, nullptr, &outPtr, &outLeft);
  out.append(buffer, static_cast<size_t>(outPtr - buffer));
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
  return convert(cd, utf8, replacement, true);
}

std::string sjisToUtf8(std::string_view sjis) {
  if (isAscii(sjis)) return std::string(sjis);
  const IconvHandle cd("UTF-8", "CP932");
  return convert(cd, sjis, kUnicodeReplacement, false);
}

std::optional<std::string> charsetToSjis(std::string_view charset, std::string_view text,
                                         std::string_view replacement) {
  const IconvHandle toUnicode("UTF-8", std::string(charset));
  if (!toUnicode.valid()) return std::nullopt;
  return utf8ToSjis(convert(toUnicode, text, kUnicodeReplacement, false), replacement);
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
