/// \file
/// A date and time written the way the user's locale writes it (the C
/// library's "%c" form): "2026年12月07日 09時30分00秒" under ja_JP,
/// "Mon Dec  7 09:30:00 2026" under C. The locale is the one the environment
/// names (LC_ALL, LC_TIME, LANG), as a program that called setlocale(LC_ALL,
/// "") would use; the process's own locale is never changed.
#pragma once

#include <ctime>
#include <string>

namespace zorvik::platform {

/// `fields` (calendar fields, already in the zone to show) in the locale's
/// "%c" form, converted to Shift_JIS. A locale that is not installed gives
/// the C locale's form.
std::string localeDateTime(const std::tm& fields);

}  // namespace zorvik::platform
