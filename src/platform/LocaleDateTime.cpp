#include "platform/LocaleDateTime.h"

#include <langinfo.h>
#include <locale.h>

#include "platform/TextEncoding.h"

namespace zorvik::platform {

std::string localeDateTime(const std::tm& fields) {
  locale_t locale = newlocale(LC_TIME_MASK | LC_CTYPE_MASK, "", static_cast<locale_t>(0));
  if (locale == static_cast<locale_t>(0)) locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
  if (locale == static_cast<locale_t>(0)) return {};
  char text[256];
  const std::size_t length = strftime_l(text, sizeof text, "%c", &fields, locale);
  const std::string charset = nl_langinfo_l(CODESET, locale);
  freelocale(locale);
  const std::string_view written(text, length);
  return charsetToSjis(charset, written).value_or(std::string(written));
}

}  // namespace zorvik::platform
