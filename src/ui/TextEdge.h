/// \file
/// The one crossing of text between the engine (Shift_JIS in std::string)
/// and the widgets (QString), through the CP932 mapping of
/// platform/TextEncoding: a character CP932 cannot hold becomes "?" on the
/// way in, bytes that are no CP932 become U+FFFD on the way out.
///
/// "〜" (WAVE DASH, what many Linux input methods type) and "～" (FULLWIDTH
/// TILDE) both go in as 0x8160, the character Japanese Windows mail has
/// always meant by either; it comes out as "～".
#pragma once

#include <QString>
#include <string>
#include <string_view>

#include "platform/TextEncoding.h"

namespace zorvik::ui {

class TextEdge {
public:
  static QString unicode(std::string_view sjis) {
    if (platform::isAscii(sjis)) return QString::fromLatin1(sjis.data(), static_cast<qsizetype>(sjis.size()));
    return QString::fromStdString(platform::sjisToUtf8(sjis));
  }
  static std::string sjis(const QString& text) {
    QString mapped = text;
    mapped.replace(QChar(0x301C), QChar(0xFF5E));
    return platform::utf8ToSjis(mapped.toStdString());
  }
};

}  // namespace zorvik::ui
