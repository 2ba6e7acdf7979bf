#include "net/SmtpCapabilities.h"

#include <algorithm>
#include <cctype>

namespace zorvik::net {
namespace {

std::string upper(std::string_view text) {
  std::string result(text);
  std::transform(result.begin(), result.end(), result.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return result;
}

std::vector<std::string> words(std::string_view text) {
  std::vector<std::string> found;
  std::size_t at = 0;
  while (at < text.size()) {
    while (at < text.size() && text[at] == ' ') ++at;
    const std::size_t end = std::min(text.find(' ', at), text.size());
    if (end > at) found.emplace_back(text.substr(at, end - at));
    at = end;
  }
  return found;
}

}  // namespace

SmtpCapabilities SmtpCapabilities::parse(std::string_view replyText) {
  SmtpCapabilities capabilities;
  std::size_t at = replyText.find('\n');
  while (at != std::string_view::npos && at < replyText.size()) {
    const std::size_t end = std::min(replyText.find('\n', at + 1), replyText.size());
    std::string_view line = replyText.substr(at + 1, end - at - 1);
    at = end;
    // "250-" or "250 " before the keyword.
    line.remove_prefix(std::min<std::size_t>(4, line.size()));
    if (line.empty()) continue;
    capabilities.lines.emplace_back(line);
    std::vector<std::string> keywords = words(upper(line));
    if (keywords.empty()) continue;
    std::string& keyword = keywords.front();
    if (keyword == "STARTTLS") capabilities.startTls = true;
    if (keyword.starts_with("AUTH=")) keyword = keyword.substr(5);
    else if (keyword == "AUTH") keywords.erase(keywords.begin());
    else continue;
    for (std::string& mechanism : keywords)
      if (!mechanism.empty() && !capabilities.offersAuth(mechanism))
        capabilities.authMechanisms.push_back(std::move(mechanism));
  }
  return capabilities;
}

bool SmtpCapabilities::offersAuth(std::string_view mechanism) const {
  return std::find(authMechanisms.begin(), authMechanisms.end(), upper(mechanism)) != authMechanisms.end();
}

std::string SmtpCapabilities::authText() const {
  std::string text;
  for (const std::string& mechanism : authMechanisms) text += (text.empty() ? "" : " ") + mechanism;
  return text;
}

}  // namespace zorvik::net
