// Feeds arbitrary index and mailbox files of MS Internet Mail to their
// reader: the first two bytes give the index's length, the rest is split
// into index and mailbox. No read may leave the mailbox, and the reading
// always ends.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "import/MsInternetMail.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zorvik::import;
  if (size < 2) return 0;
  const std::string_view rest(reinterpret_cast<const char*>(data) + 2, size - 2);
  const std::size_t indexLength = std::min<std::size_t>(static_cast<std::size_t>(data[0] | (data[1] << 8)), rest.size());
  const std::string index(rest.substr(0, indexLength));
  const std::string mailbox(rest.substr(indexLength));
  const auto readAt = [&mailbox](std::uint64_t offset, std::uint64_t length) -> std::optional<std::string> {
    if (offset > mailbox.size() || length > mailbox.size() - offset) __builtin_trap();
    return mailbox.substr(offset, length);
  };
  std::size_t mails = 0;
  MsInternetMail::read(index, mailbox.size(), readAt, [&mails](std::string_view) {
    ++mails;
    return true;
  });
  // Each mail takes a record of at least 28 bytes after the 80-byte head.
  if (mails > 0 && 80 + 28 * mails > index.size()) __builtin_trap();
  return 0;
}
