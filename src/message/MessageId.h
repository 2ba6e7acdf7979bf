/// \file
/// Making the Message-Id of a mail Zorvik writes:
/// "<YYYMMDDhhmmss.CCCCCCCC.address>", where YYY is the year minus 1900
/// (126 for 2026), the time is the mail's date in the user's zone, CCCCCCCC a
/// counter in upper-case hex and the address the sender's.
///
/// The counter field holds the process id in its upper 22 bits and a
/// process-wide count in its lower 10, so two processes that write mails
/// with the same date for the same sender (two `compose` runs in one
/// second) never make the same id: a receiving program would join two
/// different split mails into one. Within one process ids repeat only after
/// 1024 mails with the same date.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>

namespace zorvik::message {

class MessageId {
public:
  /// The Message-Id of a mail dated `date` (seen `zoneHours` east of UTC).
  /// With `counting`, the counter field is made from the process id and the
  /// process-wide count, which moves on, so two mails written in the same
  /// second still differ; without it the field is 00000000 (the id only
  /// keys a draft).
  /// The address is the <...> part of `fromValue`; when `fromValue` has none,
  /// its bare address when that holds an "@"; otherwise `userAddress` (the
  /// user's own address from the settings). Safe to call from any thread.
  static std::string make(std::time_t date, int zoneHours, std::string_view fromValue,
                          std::string_view userAddress, bool counting);
};

}  // namespace zorvik::message
