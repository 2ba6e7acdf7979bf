// Feeds arbitrary bytes to the UNIX mailbox reader, split into two blocks
// at a point the input chooses: every mail handed over must be in POP3
// form (CR LF lines, no lone "." before the end), and the reader must end
// the same way whatever the block boundary.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "import/MboxReader.h"

namespace {

bool wellFormed(std::string_view mail) {
  if (!mail.ends_with(".\r\n")) return false;
  const std::string_view body = mail.substr(0, mail.size() - 3);
  if (body.starts_with(".\r\n") || body.find("\r\n.\r\n") != std::string_view::npos) return false;
  for (std::size_t lf = body.find('\n'); lf != std::string_view::npos; lf = body.find('\n', lf + 1))
    if (lf == 0 || body[lf - 1] != '\r') return false;
  return true;
}

zorvik::import::ReadEnd read(std::string_view input, std::size_t split, std::size_t& mails) {
  zorvik::import::MboxReader reader([&mails](std::string_view mail) {
    if (!wellFormed(mail)) __builtin_trap();
    ++mails;
    return true;
  });
  if (reader.feed(input.substr(0, split))) reader.feed(input.substr(split));
  return reader.finish();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::string_view input(reinterpret_cast<const char*>(data) + 1, size - 1);
  const std::size_t split = input.empty() ? 0 : data[0] % (input.size() + 1);
  std::size_t whole = 0;
  std::size_t blocks = 0;
  if (read(input, input.size(), whole) != read(input, split, blocks) || whole != blocks) __builtin_trap();
  return 0;
}
