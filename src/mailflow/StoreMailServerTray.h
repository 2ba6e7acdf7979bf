/// \file
/// The mail-server tray of the store as a POP3 session keeps it: one copy
/// per server mail, made of the mail's decoded header lines and no body.
/// A copy's opened bit says that the mail was received; a copy of a mail
/// whose attachments were not all saved carries kUnsavedAttachment.
///
/// Two mails count as the same when MailRecord::sameMailAs says so (equal
/// Message-Id keys and dates, the stored Subject a beginning of the other,
/// since a stored Subject is cut at 80 bytes). A header without a Date
/// dates 0, not "now", so that the same mail gives the same key in every
/// session.
///
/// The index is read once when a listing begins and then kept in memory:
/// a listing of thousands of mails looks each header up without touching
/// the disk. Every change goes to the tray files at once, so a process that
/// dies half-way leaves the tray as far as it had come. A removed copy gets
/// the deleted bit only; positions change only in compact(), which is also
/// where copies of mails no longer on the server are dropped.
///
/// Not safe for concurrent use: the session's worker and its owner take
/// turns, as the interface requires.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "message/MailRecord.h"
#include "message/MailRecordParser.h"
#include "net/MailServerTray.h"
#include "store/StoreLocation.h"

namespace zorvik::mailflow {

class Document;

class StoreMailServerTray final : public net::MailServerTray {
public:
  /// Record flag of a copy whose mail was received without all of its
  /// attachments; a bit no other record of the store uses.
  static constexpr std::uint32_t kUnsavedAttachment = 0x00000100;

  /// `trayName` is the mail-server tray (item 212); `context` parses the
  /// headers (its `now` is not used).
  StoreMailServerTray(store::StoreLocation store, std::string trayName, message::ParseContext context);
  /// The mail-server tray of `document`, cleared first when the POP3
  /// account of the settings is not the one it was kept for.
  static StoreMailServerTray ofDocument(const Document& document);

  void beginListing() override;
  std::string headerKey(std::string_view header, int size) override;
  Match find(const std::string& key, int ordinal) override;
  int append(std::string_view header, int size) override;
  CopyState stateAt(int index) override;
  void markPresent(int index) override;
  void markReceived(int index) override;
  bool hasUnsavedAttachment(int index) override;
  void remove(int index) override;
  std::vector<int> compact() override;
  std::string uidFilePath() const override;

  /// The copy at `index` is of a mail received without all its attachments.
  void markUnsavedAttachment(int index);
  /// Live copies in the tray (0 when it cannot be read).
  int liveCount();
  /// Forgets every copy and the ".uid" file: the account changed.
  bool clear();
  /// Before a session with the account `identity` (server and user):
  /// when the tray was kept for another account, it is cleared first, so
  /// identifiers and headers of the old mailbox can neither hide nor delete
  /// mail of the new one. The identity is kept in a file beside the tray;
  /// a tray without one (kept by an older Zorvik) is taken as this account's.
  void followAccount(const std::string& identity);

private:
  struct Copy {
    message::MailRecord record;  // what the index knows: keys, date, cut Subject
    bool present = false;        // seen on the server in this listing
  };

  void load();
  Copy* copyAt(int index);
  bool setFlag(int index, std::uint32_t bit);

  store::StoreLocation store_;
  std::string trayName_;
  message::MailRecordParser parser_;
  void addCopy(Copy copy);

  std::vector<Copy> copies_;
  /// Positions of the copies by the thread key and the date, which two
  /// headers of the same mail always share: a lookup compares only these
  /// few, not every copy (a long listing would cost the square of its length).
  std::unordered_map<std::string, std::vector<std::size_t>> positions_;
  bool loaded_ = false;
};

}  // namespace zorvik::mailflow
