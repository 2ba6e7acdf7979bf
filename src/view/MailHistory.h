/// \file
/// The main window's history of the mails the user looked at: a ring of 32
/// places (tray path and record index), a write position where the newest
/// entry went and a current position that back and forward move.
///
///  - Recording goes after the newest entry, not after the current one:
///    going back twice and selecting a mail appends it, and back from it
///    returns to the newest old entry. The slot after it is emptied, so
///    forward stops there; the 33rd entry overwrites the oldest.
///  - The same mail as the newest entry is not recorded twice.
///  - A selection made by back or forward is not recorded: moving sets the
///    suppress flag, and the next record() clears it instead of recording.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace zorvik::view {

struct HistoryEntry {
  std::string tray;
  std::int64_t index = -1;  // -1: an empty slot

  bool empty() const { return index < 0; }
  bool operator==(const HistoryEntry&) const = default;
};

class MailHistory {
public:
  static constexpr std::size_t kSize = 32;

  /// The user selected mail `index` of `tray`.
  void record(const std::string& tray, std::uint32_t index);
  /// The entry one slot back (forward); empty when that slot is empty. A
  /// successful move makes it current and suppresses the next record().
  std::optional<HistoryEntry> back();
  std::optional<HistoryEntry> forward();

  bool canGoBack() const { return !slots_[before(current_)].empty(); }
  bool canGoForward() const { return !slots_[after(current_)].empty(); }

  /// Forgets the entries of a tray that no longer exists.
  void forgetTray(const std::string& tray);

private:
  static std::size_t before(std::size_t at) { return (at + kSize - 1) % kSize; }
  static std::size_t after(std::size_t at) { return (at + 1) % kSize; }
  std::optional<HistoryEntry> moveTo(std::size_t at);

  std::array<HistoryEntry, kSize> slots_{};
  std::size_t write_ = 0;
  std::size_t current_ = 0;
  bool suppress_ = false;
};

}  // namespace zorvik::view
