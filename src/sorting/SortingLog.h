/// \file
/// The sorting log: one line per sorting decision, so the user can see
/// afterwards where a mail went. Lines look like
///
///     2026-12/07 09:30:00|受自|新着受信\<message-id> → 仕事/ML
///
/// (kind: 送 for the user's own mail, else 受; then 手 manual, 自 automatic;
/// the destination is なし when no tray was chosen). Clearing keeps two
/// older generations, ".bk1" and ".bk2".
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/Messages.h"

namespace zorvik::sorting {

struct SortingDecision {
  bool sentByUser = false;
  bool manual = false;
  std::string sourceTray;
  std::string messageId;
  std::string destination;  // empty: no tray was chosen
};

class SortingLog {
public:
  /// Most bytes the log view shows: the end of the log.
  static constexpr std::size_t kViewBytes = 10000;

  /// `path` is the log file; `zoneHours` the user's offset from UTC.
  SortingLog(std::string path, int zoneHours) : path_(std::move(path)), zoneHours_(zoneHours) {}

  /// The line for `decision` made at `time` (Shift_JIS, ending in CR LF).
  std::string line(const SortingDecision& decision, std::int64_t time) const;

  /// Appends one line; a log that cannot be written shows error 43001 and
  /// the decision stands.
  bool append(const SortingDecision& decision, std::int64_t time, core::Messages& messages) const;
  /// Appends the lines of several decisions with one opening of the log (a
  /// sorting run decides thousands at once); 43001 at most once.
  bool append(const std::vector<SortingDecision>& decisions, std::int64_t time, core::Messages& messages) const;

  /// The last kViewBytes bytes of the log (they may begin inside a line);
  /// empty when there is no log.
  std::string tail() const;

  /// Moves the log to ".bk1" and ".bk1" to ".bk2"; the older ".bk2" goes.
  /// Missing generations are passed over.
  void clear() const;

  const std::string& path() const { return path_; }
  std::string generation(int number) const;

private:
  std::string path_;
  int zoneHours_;
};

}  // namespace zorvik::sorting
