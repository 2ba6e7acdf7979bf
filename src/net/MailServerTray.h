/// \file
/// The bookkeeping a POP3 session does in the mail-server tray, which mirrors
/// the mails on the server: the header of every server mail seen, marked as
/// received or not. The session reaches the tray only through this interface
/// so that it can be run against a fake, and so the store's tray files stay
/// the store's business.
///
/// Called on the session's worker thread, and by the owner between
/// notifications (markReceived, remove), never at the same time.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zorvik::net {

class MailServerTray {
public:
  enum class CopyState { Missing, Unread, Received };
  struct Match {
    CopyState state = CopyState::Missing;
    int index = -1;  // position of the copy; -1 when Missing
  };

  virtual ~MailServerTray() = default;

  /// A listing starts: forget which copies were seen on the server.
  virtual void beginListing() = 0;
  /// The key under which two mails count as equal: the mail record parsed
  /// from `header` (the text up to the empty line) with its size set to
  /// `size`. Equal records give equal keys.
  virtual std::string headerKey(std::string_view header, int size) = 0;
  /// The copy with this key that comes after `ordinal` earlier equal ones.
  virtual Match find(const std::string& key, int ordinal) = 0;
  /// Appends a copy of a mail not yet stored; its position, or -1.
  virtual int append(std::string_view header, int size) = 0;
  /// The state of the copy at `index`; Missing when the position is empty or
  /// out of range (a stale ".uid" line).
  virtual CopyState stateAt(int index) = 0;
  /// The copy at `index` is on the server now.
  virtual void markPresent(int index) = 0;
  virtual void markReceived(int index) = 0;
  /// Whether the stored copy carries the attachment-not-saved mark.
  virtual bool hasUnsavedAttachment(int index) = 0;
  /// Removes the copy of a mail deleted from the server.
  virtual void remove(int index) = 0;
  /// Compacts the tray and gives the positions removed since the last
  /// compaction, in ascending order, so indices kept elsewhere can be renumbered.
  virtual std::vector<int> compact() = 0;
  /// The ".uid" file beside the tray: the tray's path with ".uid" appended.
  virtual std::string uidFilePath() const = 0;
};

}  // namespace zorvik::net
