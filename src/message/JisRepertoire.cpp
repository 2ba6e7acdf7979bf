#include "message/JisRepertoire.h"

#include "platform/TextEncoding.h"

namespace zorvik::message {
namespace {

constexpr std::string_view kUnicodeReplacement = "\xEF\xBF\xBD";

bool isTrailByte(unsigned char c) { return c >= 0x40 && c <= 0xFC && c != 0x7F; }

}  // namespace

JisFit jisFitOf(std::string_view pair) {
  if (pair.size() < 2) return JisFit::replaced;
  const auto lead = static_cast<unsigned char>(pair[0]);
  const auto trail = static_cast<unsigned char>(pair[1]);
  if (!isTrailByte(trail)) return JisFit::replaced;
  // The user-defined rows: iconv maps them to private-use code points, but
  // no reader on the other side knows what they stand for.
  if (lead >= 0xF0 && lead <= 0xF9) return JisFit::replaced;
  // An undefined code in an otherwise valid row (the gaps of rows 2-8, the
  // end of row 84, beyond 0xFC4B) leaves at its JIS position, where no
  // character stands: only the CP932 table knows which codes are defined.
  if (platform::sjisToUtf8(pair.substr(0, 2)).find(kUnicodeReplacement) != std::string::npos)
    return JisFit::replaced;
  if (lead == 0x87 || lead == 0xED || lead == 0xEE || (lead >= 0xFA && lead <= 0xFC)) return JisFit::windowsOnly;
  return JisFit::standard;
}

}  // namespace zorvik::message
