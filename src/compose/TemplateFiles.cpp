#include "compose/TemplateFiles.h"

#include "message/JapaneseCodec.h"
#include "platform/FileSystem.h"
#include "platform/TextEncoding.h"

namespace zorvik::compose {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

std::string_view folderName(TemplateFolder folder) {
  switch (folder) {
    case TemplateFolder::New: return "New";
    case TemplateFolder::Reply: return "Reply";
    case TemplateFolder::Trans: return "Trans";
    case TemplateFolder::Sign: return "Sign";
  }
  return "New";
}

// Well-formed UTF-8: every lead byte followed by the continuation bytes it
// announces (overlong forms and surrogates are not told apart; they do not
// occur in text an editor writes).
bool isUtf8(std::string_view text) {
  std::size_t at = 0;
  while (at < text.size()) {
    const auto c = static_cast<unsigned char>(text[at]);
    const std::size_t length = c < 0x80 ? 1 : (c >= 0xC2 && c < 0xE0) ? 2 : (c >= 0xE0 && c < 0xF0) ? 3
                                                                         : (c >= 0xF0 && c < 0xF5) ? 4 : 0;
    if (length == 0 || at + length > text.size()) return false;
    for (std::size_t i = 1; i < length; ++i) {
      if ((static_cast<unsigned char>(text[at + i]) & 0xC0) != 0x80) return false;
    }
    at += length;
  }
  return true;
}

}  // namespace

std::string TemplateFiles::path(TemplateFolder folder, std::string_view name) const {
  return platform::joinPath(platform::joinPath(folder_, folderName(folder)), std::string(name) + ".XM8");
}

std::optional<std::vector<std::string>> TemplateFiles::readLines(TemplateFolder folder, std::string_view name) const {
  const std::string file = path(folder, name);
  if (!platform::isRegularFile(file)) return std::nullopt;
  const auto bytes = platform::readFile(file);
  if (!bytes) return std::nullopt;
  return lines(asSjis(*bytes));
}

std::string TemplateFiles::asSjis(std::string_view bytes) {
  const bool marked = bytes.starts_with(kByteOrderMark);
  if (marked) bytes.remove_prefix(kByteOrderMark.size());
  if (!marked && (platform::isAscii(bytes) || !isUtf8(bytes))) return std::string(bytes);
  return platform::utf8ToSjis(bytes, message::kSjisReplacement);
}

std::vector<std::string> TemplateFiles::lines(std::string_view text) {
  std::vector<std::string> out;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    out.emplace_back(line);
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return out;
}

}  // namespace zorvik::compose
