#include "import/ImportPeriod.h"

#include <array>
#include <string>

#include "core/SjisText.h"
#include "core/TextLines.h"
#include "message/MailDate.h"

namespace zorvik::import {
namespace {

// The choices of the backup period table that say the same.
constexpr std::array<int, 5> kMergeChoice{store::BackupPeriod::kMergeAll, 2, 3, 4, 5};

}  // namespace

std::optional<store::DateLimit> ImportPeriod::limit(int choice, std::time_t now, int zoneHours) {
  if (choice < kAll || choice > kLast) return std::nullopt;
  return store::BackupPeriod::forMerge(kMergeChoice[static_cast<std::size_t>(choice)], now, zoneHours);
}

std::optional<std::time_t> ImportPeriod::dateOf(std::string_view mail, int zoneHours) {
  std::string value;
  bool inDate = false;
  core::TextLines lines(mail);
  for (std::string_view line; lines.next(line);) {
    if (line.empty()) break;  // the end of the header
    if (inDate && (line.front() == ' ' || line.front() == '\t')) {
      value.append(line);
      continue;
    }
    if (inDate) break;
    inDate = core::startsWithIgnoringAsciiCase(line, "date:");
    if (inDate) value.assign(line.substr(5));
  }
  if (!inDate) return std::nullopt;
  return message::MailDate::tryParse(value, zoneHours);
}

bool ImportPeriod::admits(const store::DateLimit& limit, std::optional<std::time_t> date) {
  return !date || limit.admits(*date);
}

}  // namespace zorvik::import
