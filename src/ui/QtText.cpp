#include "ui/QtText.h"

#include "platform/TextEncoding.h"

namespace zorvik::ui {

QString fromSjis(std::string_view sjis) {
  if (platform::isAscii(sjis)) return QString::fromLatin1(sjis.data(), static_cast<qsizetype>(sjis.size()));
  const std::string utf8 = platform::sjisToUtf8(sjis);
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::string toSjis(const QString& text) {
  QString mapped = text;
  mapped.replace(QChar(0x301C), QChar(0xFF5E));
  const QByteArray utf8 = mapped.toUtf8();
  return platform::utf8ToSjis(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size())));
}

QColor fromColorRef(std::int32_t colorRef) {
  const auto value = static_cast<std::uint32_t>(colorRef);
  return QColor(static_cast<int>(value & 0xFFU), static_cast<int>((value >> 8) & 0xFFU),
                static_cast<int>((value >> 16) & 0xFFU));
}

}  // namespace zorvik::ui
