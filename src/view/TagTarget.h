/// \file
/// What the gestures on a tag act on: the text handed to the desktop's
/// "open" (a web or ftp address as it is, a network path "\\server\share\x"
/// as "smb://server/share/x"), the folder "属すフォルダを開く" opens (for an
/// ftp address the text before its last "/", none when that "/" is part of
/// "://"; for a network path its parent, none for a bare "\\server"), and
/// the context menu a right click shows ("TextINCF" for an "@#MIME" line,
/// "TextHTTP", "TextFTP", "TextUNC"; none for a mail address or the other
/// tag-command lines).
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "view/TagScanner.h"

namespace zorvik::view {

class TagTarget {
public:
  /// The address to open for a web, ftp or network path tag's text.
  static std::string openable(TagKind kind, std::string_view text);
  static std::optional<std::string> containingFolder(TagKind kind, std::string_view text);
  /// The context menu's name, empty when the tag has none.
  static std::string_view menuName(TagKind kind);
};

}  // namespace zorvik::view
