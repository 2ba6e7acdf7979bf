/// \file
/// One SMTP transaction as the send driver hands it to the session: the
/// envelope and the two files that the composition wrote in their final
/// transfer form (7-bit, CR LF, the body dot-stuffed).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace zorvik::net {

struct OutgoingMail {
  /// The driver's own key for the mail (for instance its record index in
  /// the unsent tray); the session only passes it back.
  std::int64_t id = 0;
  /// Which transaction of the mail this is when its recipients are split
  /// (0 for the first); the session only passes it back.
  int batch = 0;
  /// Subject (Shift_JIS), only for the messages that name the mail.
  std::string subject;
  /// Envelope sender for "MAIL From:<...>"; white space around it is dropped.
  std::string sender;
  /// Envelope recipients, one "RCPT To:<...>" each; at most 100.
  std::vector<std::string> recipients;
  /// Paths (Shift_JIS) of the header file and the body file. The session
  /// reads them and never deletes them.
  std::string headerPath;
  std::string bodyPath;
};

/// Recipients a server must accept in one transaction; more go in batches.
inline constexpr std::size_t kMaxRecipientsPerMail = 100;

/// `mail` as consecutive transactions of at most `perBatch` recipients each,
/// numbered by `batch`, all with the same files: 250 recipients give three
/// transactions of 100, 100 and 50. A mail without recipients gives one
/// transaction without recipients (the session refuses it with its message).
std::vector<OutgoingMail> splitRecipients(const OutgoingMail& mail,
                                          std::size_t perBatch = kMaxRecipientsPerMail);

}  // namespace zorvik::net
