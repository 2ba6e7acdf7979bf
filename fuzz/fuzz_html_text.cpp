// Feeds arbitrary bytes to the HTML renderer of HTML-only mail, as a part
// without charset (the page's <meta> counts) and with one of the charsets
// mail declares. The text must come back as whole CR LF lines without NUL.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "message/HtmlText.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static constexpr std::array<std::string_view, 6> kCharsets = {"", "utf-8", "Shift_JIS", "iso-2022-jp", "euc-jp",
                                                                "x-unknown"};
  if (size == 0) return 0;
  const std::string_view charset = kCharsets[data[0] % kCharsets.size()];
  const std::string_view html(reinterpret_cast<const char*>(data) + 1, size - 1);
  const std::string text = zorvik::message::HtmlText::render(html, charset);
  if (text.find('\0') != std::string::npos) __builtin_trap();
  if (!text.empty() && !text.ends_with("\r\n")) __builtin_trap();
  for (std::size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 1))
    if (at == 0 || text[at - 1] != '\r') __builtin_trap();
  return 0;
}
