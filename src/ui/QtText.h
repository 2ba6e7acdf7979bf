/// \file
/// The one place where the engine's Shift_JIS text meets Qt's Unicode:
/// every string a widget shows comes through fromSjis, every string a user
/// types goes in through toSjis. "〜" (WAVE DASH, what many Linux input
/// methods type) and "～" (FULLWIDTH TILDE) both become 0x8160, the
/// character Japanese Windows mail has always meant by either.
///
/// Colours of the settings are COLORREF words (red in the low byte).
#pragma once

#include <QColor>
#include <QString>

#include <cstdint>
#include <string>
#include <string_view>

namespace zorvik::ui {

QString fromSjis(std::string_view sjis);
std::string toSjis(const QString& text);

/// A settings colour (0x00BBGGRR) as a QColor.
QColor fromColorRef(std::int32_t colorRef);

}  // namespace zorvik::ui
