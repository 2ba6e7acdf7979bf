#include "view/MailHistory.h"

namespace zorvik::view {

void MailHistory::record(const std::string& tray, std::uint32_t index) {
  if (suppress_) {
    suppress_ = false;
    return;
  }
  const HistoryEntry entry{tray, index};
  if (slots_[write_] == entry) return;
  write_ = after(write_);
  current_ = write_;
  slots_[write_] = entry;
  slots_[after(write_)] = {};
}

std::optional<HistoryEntry> MailHistory::back() { return moveTo(before(current_)); }

std::optional<HistoryEntry> MailHistory::forward() { return moveTo(after(current_)); }

std::optional<HistoryEntry> MailHistory::moveTo(std::size_t at) {
  if (slots_[at].empty()) return std::nullopt;
  current_ = at;
  suppress_ = true;
  return slots_[at];
}

void MailHistory::forgetTray(const std::string& tray) {
  for (HistoryEntry& entry : slots_)
    if (entry.tray == tray) entry = {};
}

}  // namespace zorvik::view
