/// \file
/// What a cabinet or tray name may be, and what a path of such names inside
/// the store may be.
///
/// A name may not contain any of eleven characters: \ / : , ; * ? " < > |.
/// The scan is Shift_JIS aware: the second byte of a double-byte character
/// may be 0x5C or 0x7C ("表", "ソ", "能" end in a backslash byte), and such a
/// character is a legal part of a name. The names "." and ".." are refused as
/// well: on disk they are the cabinet itself and its parent, so a tray called
/// ".." would write outside its cabinet. So are control characters: tray
/// names are stored as lines of text (property files, the sorting order),
/// and a CR or LF in one would split it.
#pragma once

#include <string>
#include <string_view>

#include "core/Messages.h"

namespace zorvik::store {

enum class NameProblem {
  None,
  Empty,
  ForbiddenCharacter,
  Reserved,  // "." or ".."
};

/// The eleven characters no name may contain, in the order message 40204
/// lists them, without separators.
const std::string& forbiddenNameCharacters();

/// Checks one cabinet or tray name (Shift_JIS).
NameProblem checkName(std::string_view name);

/// Checks a name and shows the refusal: 40204 with the forbidden set for a
/// forbidden character or a reserved name, `emptyMessage` (40201 or 40301,
/// whichever the caller's dialog uses) for an empty name. True when the name
/// is acceptable.
bool acceptName(std::string_view name, core::Messages& messages, core::MessageNumber emptyMessage);

/// A path of names relative to the top cabinet, "/" between levels: every
/// level passes `checkName`, so the path can neither begin with "/" nor climb
/// out with "..". The empty path is the top cabinet itself and is accepted
/// only when `allowEmpty` is set.
bool isStoreRelativePath(std::string_view path, bool allowEmpty);

}  // namespace zorvik::store
