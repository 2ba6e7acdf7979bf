/// \file
/// Mails named by a front end before an operation works on them: a tray
/// and record indices (and, for a copy or move, the tray they go to). A
/// window's selection always names live mails; a script's may not, and the
/// user is told which tray or which index is wrong (44210, 44211) before
/// anything is done, instead of reading a bare failure afterwards.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zorvik::mailflow {

class Document;

class MailSelection {
public:
  /// True when `tray` exists, every index is a live record of it, and
  /// `destination` (when given) exists.
  static bool check(const Document& document, const std::string& tray, const std::vector<std::uint32_t>& indices,
                    const std::optional<std::string>& destination = std::nullopt);
};

}  // namespace zorvik::mailflow
