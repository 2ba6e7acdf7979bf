#include "view/TagTarget.h"

#include "core/SjisText.h"

namespace zorvik::view {
namespace {

using core::isSjisLeadByte;

// The position of the last single-byte `wanted` in a Shift_JIS text (a
// trail byte can be "\").
std::optional<std::size_t> lastOf(std::string_view text, char wanted) {
  std::optional<std::size_t> found;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (isSjisLeadByte(static_cast<unsigned char>(text[i]))) {
      ++i;
      continue;
    }
    if (text[i] == wanted) found = i;
  }
  return found;
}

}  // namespace

std::string TagTarget::openable(TagKind kind, std::string_view text) {
  if (kind != TagKind::NetworkPath) return std::string(text);
  std::string url = "smb:";
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    url += c == '\\' ? '/' : c;
    if (isSjisLeadByte(static_cast<unsigned char>(c)) && i + 1 < text.size()) url += text[++i];
  }
  return url;
}

std::optional<std::string> TagTarget::containingFolder(TagKind kind, std::string_view text) {
  if (kind == TagKind::Ftp) {
    const auto slash = lastOf(text, '/');
    const auto scheme = text.find("://");
    if (!slash || (scheme != std::string_view::npos && *slash <= scheme + 2)) return std::nullopt;
    return std::string(text.substr(0, *slash));
  }
  if (kind == TagKind::NetworkPath) {
    const auto backslash = lastOf(text, '\\');
    if (!backslash || *backslash < 2) return std::nullopt;
    return openable(kind, text.substr(0, *backslash));
  }
  return std::nullopt;
}

std::string_view TagTarget::menuName(TagKind kind) {
  switch (kind) {
    case TagKind::MimeLine: return "TextINCF";
    case TagKind::Http: return "TextHTTP";
    case TagKind::Ftp: return "TextFTP";
    case TagKind::NetworkPath: return "TextUNC";
    default: return {};
  }
}

}  // namespace zorvik::view
