#include "net/TlsSettings.h"

#include <algorithm>
#include <cctype>

namespace zorvik::net {
namespace {

constexpr std::size_t kSha256HexDigits = 64;

bool isSeparator(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == ',' || c == ';'; }

}  // namespace

TlsMode tlsModeOf(int value) {
  switch (value) {
    case 1: return TlsMode::StartTls;
    case 2: return TlsMode::Implicit;
    default: return TlsMode::None;
  }
}

std::string normalizedFingerprint(std::string_view fingerprint) {
  std::string digits;
  for (const char c : fingerprint) {
    if (c == ':') continue;
    if (!std::isxdigit(static_cast<unsigned char>(c))) return {};
    digits += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  }
  return digits.size() == kSha256HexDigits ? digits : std::string();
}

bool TlsSettings::trusts(std::string_view fingerprint) const {
  const std::string wanted = normalizedFingerprint(fingerprint);
  return !wanted.empty() &&
         std::find(trustedFingerprints.begin(), trustedFingerprints.end(), wanted) != trustedFingerprints.end();
}

std::vector<std::string> TlsSettings::parseFingerprints(std::string_view text) {
  std::vector<std::string> found;
  std::size_t at = 0;
  while (at < text.size()) {
    while (at < text.size() && isSeparator(text[at])) ++at;
    std::size_t end = at;
    while (end < text.size() && !isSeparator(text[end])) ++end;
    std::string_view word = text.substr(at, end - at);
    if (const std::size_t equals = word.rfind('='); equals != std::string_view::npos) word.remove_prefix(equals + 1);
    if (std::string digits = normalizedFingerprint(word); !digits.empty()) found.push_back(std::move(digits));
    at = end;
  }
  return found;
}

}  // namespace zorvik::net
