#include "message/ReceivedDate.h"

#include "message/MailDate.h"

namespace zorvik::message {
namespace {

constexpr std::string_view kName = "Received:";

bool startsWithNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    char c = text[i];
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    char p = prefix[i];
    if (p >= 'a' && p <= 'z') p = static_cast<char>(p - 'a' + 'A');
    if (c != p) return false;
  }
  return true;
}

}  // namespace

std::optional<std::time_t> dateFromReceived(std::string_view line, int zoneHours) {
  if (!startsWithNoCase(line, kName)) return std::nullopt;
  const std::size_t semicolon = line.rfind(';');
  if (semicolon == std::string_view::npos) return std::nullopt;
  return MailDate::tryParse(line.substr(semicolon + 1), zoneHours);
}

}  // namespace zorvik::message
