#include "message/AttachmentName.h"

#include "platform/FileSystem.h"

namespace zorvik::message {
namespace {

bool isLeadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }
bool isTrailByte(unsigned char c) { return c >= 0x40 && c <= 0xFC && c != 0x7F; }

// True when a double-byte character starts at `i`: a lead byte followed by a
// byte that can be its trail. A lead byte before anything else stands alone,
// so a "/" after it is still a "/".
bool doubleByteAt(std::string_view name, std::size_t i) {
  return i + 1 < name.size() && isLeadByte(static_cast<unsigned char>(name[i])) &&
         isTrailByte(static_cast<unsigned char>(name[i + 1]));
}

// Calls `visit(position, isDoubleByte)` for each character of `name`.
template <typename Visit>
void forEachCharacter(std::string_view name, Visit visit) {
  for (std::size_t i = 0; i < name.size(); ++i) {
    const bool doubleByte = doubleByteAt(name, i);
    visit(i, doubleByte);
    if (doubleByte) ++i;
  }
}

bool onlyDotsAndBlanks(std::string_view name) {
  return name.find_first_not_of(". ") == std::string_view::npos;
}

// Printable ASCII and half-width katakana; every other single byte is a
// control character or a piece of a double-byte character.
bool isPrintableSingleByte(unsigned char c) { return (c >= 0x20 && c < 0x7F) || (c >= 0xA1 && c <= 0xDF); }

}  // namespace

std::string AttachmentName::safe(std::string_view name) {
  std::size_t componentStart = 0;
  forEachCharacter(name, [&](std::size_t i, bool doubleByte) {
    if (!doubleByte && (name[i] == '/' || name[i] == '\\')) componentStart = i + 1;
  });
  std::string result(name.substr(componentStart));
  forEachCharacter(result, [&](std::size_t i, bool doubleByte) {
    const auto byte = static_cast<unsigned char>(result[i]);
    if (!doubleByte && (!isPrintableSingleByte(byte) || byte == '"')) result[i] = '_';
  });
  if (onlyDotsAndBlanks(result)) return std::string(kFallback);
  return result;
}

std::string AttachmentName::withoutReserved(std::string_view name) {
  std::string result(name);
  forEachCharacter(result, [&](std::size_t i, bool doubleByte) {
    if (!doubleByte && std::string_view("\\/:*?\"<>|").find(result[i]) != std::string_view::npos)
      result[i] = '_';
  });
  return result;
}

std::optional<std::string> AttachmentName::freePath(std::string_view folder, std::string_view name) {
  std::string path = platform::joinPath(folder, name);
  if (!platform::pathExists(path)) return path;
  const auto dot = name.rfind('.');
  const bool hasExtension = dot != std::string_view::npos && dot > 0;
  const std::string_view stem = hasExtension ? name.substr(0, dot) : name;
  const std::string_view extension = hasExtension ? name.substr(dot) : std::string_view();
  for (int n = 1; n < kMaxTries; ++n) {
    path = platform::joinPath(folder, std::string(stem) + "_" + std::to_string(n) + std::string(extension));
    if (!platform::pathExists(path)) return path;
  }
  return std::nullopt;
}

}  // namespace zorvik::message
