/// \file
/// Where a POP3 session hands every fetched mail: the receive decoding that
/// writes the new-mail work file, or in tests a folder of raw mails.
///
/// Called on the session's worker thread, once per mail, after the whole
/// answer has arrived: beginMail, appendMail (one or more times), endMail.
#pragma once

#include <string_view>

#include "net/ServerMailEntry.h"

namespace zorvik::net {

class ReceivedMailSink {
public:
  virtual ~ReceivedMailSink() = default;

  /// A mail begins. `headerOnly` when only its header was asked for (TOP of
  /// a mail too large to fetch). False refuses the mail.
  virtual bool beginMail(int entryIndex, const ServerMailEntry& entry, bool headerOnly) = 0;
  /// Bytes of the mail exactly as the server sent them: CR LF lines, dot-
  /// stuffing kept, ending with the line "." CR LF.
  virtual bool appendMail(std::string_view bytes) = 0;
  /// The mail is complete. False when it could not be kept (full disk): the
  /// session then ends without deleting anything more on the server.
  virtual bool endMail() = 0;
  /// Makes every mail ended so far survive a crash (flush and fsync). The
  /// session calls it before the first DELE that follows newly ended mails;
  /// when it fails no DELE is sent, so a mail is never gone from the server
  /// before it is safely on the disk.
  virtual bool makeDurable() = 0;
};

}  // namespace zorvik::net
