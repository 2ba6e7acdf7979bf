// Feeds arbitrary bytes to the Date reader. A date that is read must write
// out and read back to the same time.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "message/MailDate.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using zorvik::message::MailDate;
  if (size == 0) return 0;
  const int zoneHours = static_cast<int>(data[0] % 27) - 12;
  const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
  const auto time = MailDate::tryParse(text, zoneHours);
  if (!time) return 0;
  const auto again = MailDate::tryParse(MailDate::format(*time, zoneHours), zoneHours);
  // Near the ends of the year range the local date may fall outside it.
  if (again && *again != *time) __builtin_trap();
  return 0;
}
