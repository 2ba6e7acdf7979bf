#include "view/HeaderRows.h"

#include <ctime>

#include "platform/TextEncoding.h"

namespace zorvik::view {
namespace {

using Kind = HeaderRow::Kind;

// One row per line of a field that holds one address a line.
void addEach(std::vector<HeaderRow>& rows, Kind kind, const char* title, std::string_view lines) {
  while (!lines.empty()) {
    const std::size_t end = std::min(lines.find('\n'), lines.size());
    std::string_view line = lines.substr(0, end);
    lines.remove_prefix(std::min(end + 1, lines.size()));
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (!line.empty()) rows.push_back({kind, title, std::string(line)});
  }
}

std::string dateText(std::time_t seconds, int zoneHours) {
  if (seconds <= 0) return {};
  const std::time_t shifted = seconds + static_cast<std::time_t>(zoneHours) * 3600;
  std::tm fields{};
  gmtime_r(&shifted, &fields);
  char text[64];
  return std::string(text, std::strftime(text, sizeof text, "%Y/%m/%d %H:%M:%S", &fields));
}

std::string senderOf(const message::MailRecord& record) {
  if (!record.fromName.empty() && !record.fromAddress.empty())
    return record.fromName + " <" + record.fromAddress + ">";
  std::string from = record.from.substr(0, record.from.find("\r\n"));
  return from.empty() ? record.fromAddress : from;
}

}  // namespace

std::vector<HeaderRow> HeaderRows::of(const message::MailRecord& record, std::string_view linkTray, int zoneHours) {
  std::vector<HeaderRow> rows;
  if (!linkTray.empty()) rows.push_back({Kind::Link, "LINK", std::string(linkTray)});
  rows.push_back({Kind::Subject, platform::sjisLiteral("件名"), record.subject});
  rows.push_back({Kind::From, "From", senderOf(record)});
  addEach(rows, Kind::To, "To", record.to);
  addEach(rows, Kind::Cc, "Cc", record.cc);
  addEach(rows, Kind::Bcc, "Bcc", record.bcc);
  rows.push_back({Kind::Sent, platform::sjisLiteral("送信"), dateText(record.date, zoneHours)});
  return rows;
}

}  // namespace zorvik::view
