/// \file
/// The list tag of a Subject: the name that mailing lists put in square
/// brackets ("[zorvik-users:01234] ..."), which the sorting rules match
/// against a tray's keyword.
#pragma once

#include <string>
#include <string_view>

namespace zorvik::message {

/// The tag of `subject` (Shift_JIS): the text between the first "[" and the
/// first "]" after it, cut at its first space or colon. When everything
/// before that cut is digits (or nothing), the tag is what follows the cut
/// ("[123 news]" gives "news"), otherwise what precedes it ("[ML:123]"
/// gives "ML"); without space or colon the content is the tag ("[ab]").
/// Empty when there is no "[", no "]" or nothing between them. The trail
/// byte of a double-byte character is never taken for a bracket.
std::string listTagOf(std::string_view subject);

}  // namespace zorvik::message
