/// \file
/// How a Shift_JIS character fares on its way out as ISO-2022-JP. Mail
/// carries JIS X 0208 only; what code page 932 holds beyond it leaves in
/// one of two ways (see sjisToJis): the NEC row 13 characters (①, ㈱, Ⅰ)
/// and the NEC and IBM extension kanji (ⅰ, 髙) go out at JIS positions that
/// only Windows readers show as meant; user-defined characters, undefined
/// codes and broken pairs arrive as the geta mark 〓.
#pragma once

#include <string_view>

namespace zorvik::message {

enum class JisFit {
  standard,     ///< JIS X 0208 (or ASCII): arrives as written
  windowsOnly,  ///< a code page 932 extension: right only in Windows readers
  replaced,     ///< arrives as 〓
};

/// The fate of the double-byte character `pair` (its two bytes; a lead byte
/// without its trail byte is replaced).
JisFit jisFitOf(std::string_view pair);

}  // namespace zorvik::message
