#include "message/ReceivedDate.h"
#include "core/SjisText.h"

#include "message/MailDate.h"

namespace zorvik::message {
namespace {

constexpr std::string_view kName = "Received:";

}  // namespace

std::optional<std::time_t> dateFromReceived(std::string_view line, int zoneHours) {
  if (!core::startsWithIgnoringAsciiCase(line, kName)) return std::nullopt;
  const std::size_t semicolon = line.rfind(';');
  if (semicolon == std::string_view::npos) return std::nullopt;
  return MailDate::tryParse(line.substr(semicolon + 1), zoneHours);
}

}  // namespace zorvik::message
