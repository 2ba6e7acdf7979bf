/// \file
/// A stored mail that a draft is prepared from: what the list selected
/// (a link row, perhaps) and where the mail really lies, its header parsed
/// again from the tray text, its body lines, and the attachment root its
/// "%:" references are resolved against.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "message/MailRecord.h"
#include "message/MailRecordParser.h"
#include "store/LinkMaintenance.h"

namespace zorvik::compose {

struct SourceMail {
  store::MailPlace selected;  ///< the row the user chose
  store::MailPlace stored;    ///< where the mail is stored (a link's target)
  message::MailRecord record;  ///< the header parsed; flags as the index keeps them
  std::string header;          ///< the header lines joined with CR LF
  std::vector<std::string> body;
  std::string attachmentRoot;  ///< of the tray that stores the mail

  /// The mail was written by the user (the tray's "sent by the user" bit):
  /// only then are its tag lines the user's own commands.
  bool writtenByUser() const { return record.has(message::mailflag::kSentByUser); }

  /// Reads mail `place` (a link followed). Empty when it is not a live mail
  /// or its text cannot be read.
  static std::optional<SourceMail> read(const store::StoreLocation& store, const store::MailPlace& place,
                                        const message::MailRecordParser& parser);
};

}  // namespace zorvik::compose
