#include "message/OversizeMail.h"

#include "core/SjisText.h"
#include "platform/TextEncoding.h"

#include <array>

namespace zorvik::message {
namespace {

constexpr std::string_view kCrLf = "\r\n";
constexpr std::string_view kTerminator = ".\r\n";
constexpr std::string_view kOriginal = "X-Original-";
constexpr std::array<std::string_view, 2> kBodyFields = {"Content-Type:", "Content-Transfer-Encoding:"};

// The header with its fields that describe the missing body renamed.
std::string withoutBodyFields(std::string_view header) {
  std::string text;
  text.reserve(header.size() + 64);
  while (!header.empty()) {
    const auto lf = header.find('\n');
    const std::string_view line = header.substr(0, lf == std::string_view::npos ? header.size() : lf + 1);
    header.remove_prefix(line.size());
    for (const std::string_view field : kBodyFields)
      if (core::startsWithIgnoringAsciiCase(line, field)) text += kOriginal;
    text += line;
  }
  return text;
}

}  // namespace

bool OversizeMail::isOversize(std::uint64_t size, std::int32_t limitKilobytes) {
  if (limitKilobytes <= 0) return false;
  return size > static_cast<std::uint64_t>(limitKilobytes) * 1024U;
}

std::string OversizeMail::withNotice(std::string_view fetchedHeader) {
  static const std::string& kNotice =
      platform::sjisLiteral("★★★ このメールはサイズ制限を越えるため受信しませんでした。★★★");
  std::string_view header = fetchedHeader;
  // Only a real terminator line is cut: a header that arrived without one
  // (a connection that broke off) keeps every byte.
  if (header == kTerminator) header = {};
  if (header.ends_with("\r\n.\r\n")) header.remove_suffix(kTerminator.size());
  // The empty line that ends the header comes with the notice; one left
  // here would put the Content-Type line into the body.
  while (header.ends_with("\r\n\r\n")) header.remove_suffix(kCrLf.size());
  if (header == kCrLf) header = {};

  std::string text = withoutBodyFields(header);
  if (!text.empty() && !text.ends_with(kCrLf)) text += kCrLf;
  text += "Content-Type: text/plain;\r\n\r\n";
  text += kNotice;
  text += "\r\n.\r\n";
  return text;
}

}  // namespace zorvik::message
