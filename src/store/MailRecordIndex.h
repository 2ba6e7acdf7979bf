/// \file
/// A mail's record in memory (message::MailRecord) and in a tray: the
/// 170-byte index record made from it and read back into it, and the storing
/// of a mail composed in Zorvik (its header block, then the draft's body).
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "message/ComposedHeaderWriter.h"
#include "message/MailLines.h"
#include "message/MailRecord.h"
#include "message/MailRecordParser.h"
#include "store/IndexRecord.h"
#include "store/TrayAppender.h"
#include "store/TrayFile.h"
#include "store/TrayRecord.h"

namespace zorvik::store {

class MailRecordIndex {
public:
  /// The index record of `mail`. Text fields longer than their place are
  /// cut (list address 30, list name 20, Subject 80 bytes); a date outside
  /// the 32 bits of the record is held at the nearest end.
  static IndexRecord toIndex(const message::MailRecord& mail);

  /// What an index record knows of a mail: flags, positions, line counts,
  /// date, list address and name, Subject, keys, and for a link its target.
  /// The other fields come from parsing the header text again.
  static message::MailRecord fromIndex(const TrayRecord& stored);

  /// The lines of a mail as the tray appender takes them.
  static MailText toMailText(message::MailLines lines);

  /// Stores a composed mail at the end of `tray`: the header block of
  /// `mail` (see ComposedHeaderWriter), an empty line and every line of the
  /// draft body file at `draftBodyPath`. `mail` is updated as written (text
  /// start, body start, line counts, Message-Id, flags). Empty, and nothing
  /// added, when the draft or the tray cannot be opened or written.
  static std::optional<std::uint32_t> appendComposed(const TrayFile& tray, message::MailRecord& mail,
                                                     std::string_view draftBodyPath,
                                                     const message::ComposeSettings& settings,
                                                     const message::MailRecordParser& parser);
};

}  // namespace zorvik::store
