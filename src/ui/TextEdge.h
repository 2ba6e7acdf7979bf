/// \file
/// The one crossing of text between the engine (Shift_JIS in std::string)
/// and the widgets (QString), through the CP932 mapping of
/// platform/TextEncoding: a character CP932 cannot hold becomes "?" on the
/// way in, bytes that are no CP932 become U+FFFD on the way out.
#pragma once

#include <QString>
#include <string>
#include <string_view>

#include "platform/TextEncoding.h"

namespace zorvik::ui {

class TextEdge {
public:
  static QString unicode(std::string_view sjis) { return QString::fromStdString(platform::sjisToUtf8(sjis)); }
  static std::string sjis(const QString& text) { return platform::utf8ToSjis(text.toStdString()); }
};

}  // namespace zorvik::ui
