#include "message/DecodeWarning.h"

#include "platform/TextEncoding.h"

namespace zorvik::message {

const std::string& warningText(DecodeWarning warning) {
  static const std::string header = platform::utf8ToSjis("BinHex4.0 :\nヘッダCRCエラー");
  static const std::string data = platform::utf8ToSjis("BinHex4.0 :\nデータフォークCRCエラー");
  return warning == DecodeWarning::binHexHeaderCrc ? header : data;
}

}  // namespace zorvik::message
