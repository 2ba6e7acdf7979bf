/// \file
/// The titled rows above a mail's body in the text view and on paper, in
/// their order: "LINK" (the tray that holds the mail, only for a link),
/// "件名", "From", one "To", "Cc" and "Bcc" row per address (none when the
/// field is empty), and "送信" (the send date, "YYYY/MM/DD HH:MM:SS" in the
/// user's zone; empty when the mail has no usable date).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "message/MailRecord.h"

namespace zorvik::view {

struct HeaderRow {
  enum class Kind { Link, Subject, From, To, Cc, Bcc, Sent };
  Kind kind = Kind::Subject;
  std::string title;  // Shift_JIS
  std::string value;  // Shift_JIS

  bool operator==(const HeaderRow&) const = default;
};

class HeaderRows {
public:
  /// `linkTray` is empty unless the mail is shown through a link.
  static std::vector<HeaderRow> of(const message::MailRecord& record, std::string_view linkTray, int zoneHours);
};

}  // namespace zorvik::view
