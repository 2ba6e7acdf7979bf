/// \file
/// Mailboxes of other mail programs, built from the descriptions of their
/// formats, for the import tests and benchmarks (no file of a real
/// installation is ever used):
///  - a UNIX mailbox: each mail after a postmark line "From <sender> <date>"
///    and followed by an empty line, body lines beginning with "From "
///    quoted with ">";
///  - an MS Internet Mail pair: the index ("JMF9", the record count at 8,
///    records of 40 bytes from 80: status, length at 16, offset at 20, size
///    at 24) and the mailbox with a 16-byte head before each mail;
///  - an AL-Mail(16) box: a "[Mails]" section naming "<n>.wml" files;
///  - a Becky! mailbox: each mail up to a lone ".", its attachments named by
///    "X-Becky-Attachment-File:" lines and kept in an "Attach" folder;
///  - a Maildir: one file a mail in "cur" and "new".
/// Mails are given with CR LF or LF line ends, as a file would hold them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zorvik::test {

std::string unixMailbox(const std::vector<std::string>& mails);

struct MsInternetMailPair {
  std::string index;
  std::string mailbox;
  /// Appends a mail with its record (status 0 is a live mail).
  void add(const std::string& mail, std::uint32_t status = 0);
  /// The index with another magic.
  std::string indexWithMagic(const std::string& magic) const;
  /// Writes a little-endian word into `bytes`.
  static void put(std::string& bytes, std::size_t at, std::uint32_t value);
};
MsInternetMailPair msInternetMail(const std::vector<std::string>& mails);

/// Writes "<name>.box" and one ".wml" file per mail into `folder`; returns
/// the box's path.
std::string writeAlMailBox(const std::string& folder, const std::string& name, const std::vector<std::string>& mails);

struct BeckyAttachment {
  std::string name;
  std::string bytes;
};
/// One mail of a Becky! mailbox: its header lines (without the attachment
/// lines), its body, its attachments.
struct BeckyMail {
  std::string header;
  std::string body;
  std::vector<BeckyAttachment> attachments;
};
/// Writes the mailbox at `path` and the attachments into `attachFolder`.
void writeBeckyMailbox(const std::string& path, const std::string& attachFolder, const std::vector<BeckyMail>& mails);

/// Writes the mails into a Maildir at `folder` (alternately "new" and "cur",
/// named in delivery order).
void writeMaildir(const std::string& folder, const std::vector<std::string>& mails);

}  // namespace zorvik::test
