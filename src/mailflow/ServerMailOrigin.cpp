#include "mailflow/ServerMailOrigin.h"

#include "mailflow/StoreMailServerTray.h"
#include "net/UidList.h"
#include "platform/LineReader.h"

namespace zorvik::mailflow {
namespace {

constexpr std::string_view kSeparator = "From  ";
constexpr std::string_view kUid = "uid:";
constexpr std::string_view kKey = "key:";

std::string hex(std::string_view bytes) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string out;
  out.reserve(bytes.size() * 2);
  for (const unsigned char c : bytes) out += {kDigits[c >> 4], kDigits[c & 15]};
  return out;
}

std::string unhex(std::string_view text) {
  const auto value = [](char c) { return c <= '9' ? c - '0' : c - 'a' + 10; };
  std::string out;
  for (std::size_t i = 0; i + 1 < text.size(); i += 2)
    out += static_cast<char>(value(text[i]) << 4 | value(text[i + 1]));
  return out;
}

// The first copy with `key` not yet received: equal headers fetched in one
// session name one copy each, in order.
void markByKey(StoreMailServerTray& tray, const std::string& key) {
  for (int ordinal = 0;; ++ordinal) {
    const auto match = tray.find(key, ordinal);
    if (match.state == net::MailServerTray::CopyState::Missing) return;
    if (match.state == net::MailServerTray::CopyState::Unread) return tray.markReceived(match.index);
  }
}

}  // namespace

std::string ServerMailOrigin::separator(const net::ServerMailEntry& entry) {
  std::string line(kSeparator);
  if (!entry.uid.empty()) line += std::string(kUid) + entry.uid;
  else if (!entry.headerKey.empty()) line += std::string(kKey) + hex(entry.headerKey);
  return line + "\r\n";
}

std::vector<std::string> ServerMailOrigin::inWorkFile(std::string_view path) {
  std::vector<std::string> origins;
  auto input = platform::LineReader::openFile(path);
  std::string line;
  while (input.isOpen() && input.next(line)) {
    if (line.starts_with(kSeparator) && line.size() > kSeparator.size())
      origins.push_back(line.substr(kSeparator.size()));
  }
  return origins;
}

void ServerMailOrigin::markReceived(StoreMailServerTray& tray, const std::vector<std::string>& origins) {
  if (origins.empty()) return;
  const net::UidList known = net::UidList::load(tray.uidFilePath());
  for (const std::string& origin : origins) {
    if (origin.starts_with(kKey)) {
      markByKey(tray, unhex(std::string_view(origin).substr(kKey.size())));
      continue;
    }
    if (!origin.starts_with(kUid)) continue;
    const auto index = known.find(origin.substr(kUid.size()));
    if (index && tray.stateAt(*index) == net::MailServerTray::CopyState::Unread) tray.markReceived(*index);
  }
}

}  // namespace zorvik::mailflow
