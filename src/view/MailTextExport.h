/// \file
/// Saves one mail as a plain text file for the user (the save-as command):
///
///     Zorvik:<the user's sender name>
///     --------------------------------------------------------
///     件名:<Subject>
///     From:<sender>
///     To  :<To list>
///     Cc  :<Cc list>          (only when not empty)
///     Bcc :<Bcc list>         (only when not empty)
///     受信:<the date the mail was received>
///     --------------------------------------------------------
///     <the body as stored>
///
/// The file is UTF-8 with LF line ends, so any Linux editor opens it as it
/// is. The mail's attachments are copied next to it under their own names;
/// a file of that name already there is left alone rather than overwritten.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "store/StoreLocation.h"

namespace zorvik::view {

class MailTextExport {
public:
  /// "<tray name><index>.txt", the save dialog's suggestion.
  static std::string suggestedName(std::string_view tray, std::uint32_t index);

  /// Writes mail `index` of `tray` (a link's own tray and index resolved by
  /// the caller) to `path` (Shift_JIS). False when the mail cannot be read
  /// or the file cannot be written.
  static bool write(const store::StoreLocation& store, const std::string& tray, std::uint32_t index,
                    std::string_view senderName, int zoneHours, const std::string& path);
};

}  // namespace zorvik::view
