/// \file
/// How far a workflow has come, read from the progress lines it gives
/// (core::Progress), for a progress bar beside the line itself:
///  - a line ending in "<n>%" (receiving "受信:3  45%", sending
///    "2/5 <subject> 80%") is at n percent;
///  - a line ending in "<n>/<of>" (the server tray's "受信中：2/4": the
///    second of four mails begins) is at (n - 1) * 100 / of percent;
///  - any other line (counters, "BACKUP...<tray> : <n>") tells no share.
/// Percentages are kept within 0-100. The line may be Shift_JIS or UTF-8:
/// only the ASCII digits, "/" and "%" are read, and neither encoding has
/// those bytes inside a character.
#pragma once

#include <optional>
#include <string_view>

namespace zorvik::view {

class ProgressText {
public:
  /// The share of the work done that `line` tells; empty when it tells
  /// none.
  static std::optional<int> percentOf(std::string_view line);
};

}  // namespace zorvik::view
