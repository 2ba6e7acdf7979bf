// Feeds arbitrary bytes to the address parser, as a list, as one address, as
// the short display and as the From value of a Message-Id.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "message/AddressParser.h"
#include "message/MessageId.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zorvik;
  static const core::AliasTable aliases = {{"mail.example.ne.jp", "example.ne.jp"}, {"a", "bb"}};
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const message::AddressParser parser(aliases);
  // Walking a list must always move forward and stay inside the text.
  for (std::string_view rest = text;;) {
    const auto parsed = parser.parseOne(rest);
    if (parsed.end > rest.size()) __builtin_trap();
    (void)message::AddressParser::localPart(parsed.mail.address);
    if (parsed.end == rest.size()) break;
    rest.remove_prefix(parsed.end + 1);
  }
  (void)parser.parseList(text);
  (void)message::AddressParser::splitList(text);
  (void)parser.shortDisplay(text, true);
  (void)parser.shortDisplay(text, false);
  (void)message::MessageId::make(0, 9, text, "user@example.jp", false);
  return 0;
}
