#include "net/PopReplyReader.h"

namespace zorvik::net {

PopReplyReader::Result PopReplyReader::feed(std::string_view bytes, std::string& lines) {
  lines.clear();
  const std::size_t lastLineFeed = bytes.rfind('\n');
  if (lastLineFeed == std::string_view::npos) {
    if (carry_.size() + bytes.size() > lineLimit_) {
      carry_.clear();
      return Result::Overflow;
    }
    carry_.append(bytes);
    return Result::Partial;
  }
  lines.reserve(carry_.size() + lastLineFeed + 1);
  lines.append(carry_);
  lines.append(bytes.substr(0, lastLineFeed + 1));
  carry_.assign(bytes.substr(lastLineFeed + 1));
  return Result::Lines;
}

}  // namespace zorvik::net
