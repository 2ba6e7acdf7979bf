#include "store/TrayNameRule.h"

#include "core/MessageFormat.h"

namespace zorvik::store {

using core::MessageNumber;

const std::string& forbiddenNameCharacters() {
  static const std::string kForbidden = "\\/:,;*?\"<>|";
  return kForbidden;
}

NameProblem checkName(std::string_view name) {
  if (name.empty()) return NameProblem::Empty;
  if (name == "." || name == "..") return NameProblem::Reserved;
  const std::string& forbidden = forbiddenNameCharacters();
  for (std::size_t i = 0; i < name.size(); ++i) {
    const auto byte = static_cast<unsigned char>(name[i]);
    // Skip the trail byte of a double-byte character; a lead byte at the very
    // end has no trail byte and is simply part of the name.
    if (core::isSjisLeadByte(byte)) {
      ++i;
      continue;
    }
    if (byte < 0x20 || byte == 0x7F || forbidden.find(static_cast<char>(byte)) != std::string::npos)
      return NameProblem::ForbiddenCharacter;
  }
  return NameProblem::None;
}

bool acceptName(std::string_view name, core::Messages& messages, MessageNumber emptyMessage) {
  switch (checkName(name)) {
    case NameProblem::None: return true;
    case NameProblem::Empty: messages.error(emptyMessage); return false;
    case NameProblem::ForbiddenCharacter:
    case NameProblem::Reserved:
      messages.error(MessageNumber::ForbiddenNameCharacter, {forbiddenNameCharacters()});
      return false;
  }
  return false;
}

bool isStoreRelativePath(std::string_view path, bool allowEmpty) {
  if (path.empty()) return allowEmpty;
  for (;;) {
    const auto slash = path.find('/');
    if (checkName(path.substr(0, slash)) != NameProblem::None) return false;
    if (slash == std::string_view::npos) return true;
    path.remove_prefix(slash + 1);
  }
}

}  // namespace zorvik::store
