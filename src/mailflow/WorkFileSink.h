/// \file
/// The receive decoding: every mail a POP3 session fetches is MIME-decoded
/// and appended to the new-mail work file as the separator line "From  "
/// (naming the server mail it came from, see ServerMailOrigin) and the
/// stored text, attachments saved on the way. A mail whose header
/// only was fetched (over the size limit) is stored as that header with the
/// not-received notice as its body.
///
/// Nothing a receive wrote is ever thrown away here:
///  - a mail is appended with one write of its whole text; when that write
///    fails (a full disk) the file is cut back to where the mail began, so
///    the mails before it stay whole and the failed one is simply not
///    there (it is still on the server: the session deletes nothing after
///    a refused mail);
///  - makeDurable() flushes the file and its folder to the disk before the
///    session deletes anything on the server, so a crash or a power cut
///    after a DELE still finds the mail at the next start.
///
/// Runs on the session's worker thread; the owner reads the accessors
/// between notifications.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/Messages.h"
#include "message/DecodeWarning.h"
#include "message/MimeDecoder.h"
#include "net/ReceivedMailSink.h"

namespace zorvik::mailflow {

class WorkFileSink final : public net::ReceivedMailSink {
public:
  /// `workFilePath` is the work file's text file (Shift_JIS path).
  WorkFileSink(std::string workFilePath, message::MimeDecoderSettings decoding, core::Messages& messages);
  ~WorkFileSink() override;
  WorkFileSink(const WorkFileSink&) = delete;
  WorkFileSink& operator=(const WorkFileSink&) = delete;

  bool beginMail(int entryIndex, const net::ServerMailEntry& entry, bool headerOnly) override;
  bool appendMail(std::string_view bytes) override;
  bool endMail() override;
  bool makeDurable() override;

  /// Closes the file (it stays on the disk).
  void close();

  const std::string& path() const { return path_; }
  /// Mails appended since the sink was made.
  int mailCount() const { return mailCount_; }
  /// A write to the work file failed (the disk is full).
  bool writeFailed() const { return writeFailed_; }
  /// The last mail appended lost a part (not saved, or not written whole).
  bool lastMailIncomplete() const { return lastIncomplete_; }
  /// The entry indices of every mail appended that lost a part, in order;
  /// read it when the session waits (it fetches ahead of the owner).
  const std::vector<int>& incompleteMails() const { return incompleteMails_; }
  /// The decoding warnings (BinHex CRC mismatches) of the mails appended,
  /// in order. No numbered message says what they say and core::Messages
  /// shows numbered messages only, so the owner shows these texts
  /// (message::warningText) itself; a number of some other meaning would
  /// send a user who quotes it the wrong way.
  const std::vector<message::DecodeWarning>& warnings() const { return warnings_; }

private:
  bool open();
  bool writeMail(std::string_view text);

  std::string path_;
  message::MimeDecoderSettings decoding_;
  core::Messages& messages_;
  message::AttachmentFolderNumbers folderNumbers_;
  int fd_ = -1;
  bool directorySynced_ = false;
  bool headerOnly_ = false;
  std::string separator_;  // names the server mail (see ServerMailOrigin)
  int entryIndex_ = -1;
  std::string received_;
  int mailCount_ = 0;
  bool writeFailed_ = false;
  bool lastIncomplete_ = false;
  std::vector<int> incompleteMails_;
  std::vector<message::DecodeWarning> warnings_;
};

}  // namespace zorvik::mailflow
