#include "net/UidList.h"

#include <charconv>

#include "platform/FileSystem.h"

namespace zorvik::net {
namespace {

std::optional<int> leadingNumber(std::string_view text) {
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end == text.data() || value < 0) return std::nullopt;
  return value;
}

}  // namespace

UidList UidList::load(std::string_view path) {
  UidList list;
  const std::optional<std::string> content = platform::readFile(path);
  if (!content) return list;
  std::string_view rest = *content;
  while (!rest.empty()) {
    const std::size_t end = rest.find('\n');
    std::string_view line = rest.substr(0, end);
    rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const std::size_t firstSpace = line.find(' ');
    const std::size_t lastSpace = line.rfind(' ');
    if (firstSpace == std::string_view::npos || lastSpace + 1 >= line.size()) continue;
    const std::optional<int> index = leadingNumber(line.substr(0, firstSpace));
    if (!index) continue;
    list.indexOf_[std::string(line.substr(lastSpace + 1))] = *index;
  }
  return list;
}

std::optional<int> UidList::find(const std::string& uid) const {
  const auto found = indexOf_.find(uid);
  if (found == indexOf_.end()) return std::nullopt;
  return found->second;
}

bool UidList::save(std::string_view path, const std::vector<ServerMailEntry>& entries) {
  std::string content;
  for (const ServerMailEntry& entry : entries) {
    if (entry.trayIndex < 0 || entry.uid.empty()) continue;
    content += std::to_string(entry.trayIndex) + ' ' + entry.uid + "\r\n";
  }
  if (content.empty()) return remove(path);
  if (platform::writeFileAtomically(path, content)) return true;
  remove(path);
  return false;
}

bool UidList::append(std::string_view path, int trayIndex, const std::string& uid) {
  return platform::appendToFile(path, std::to_string(trayIndex) + ' ' + uid + "\r\n");
}

bool UidList::remove(std::string_view path) {
  return !platform::pathExists(path) || platform::removeFile(path);
}

}  // namespace zorvik::net
