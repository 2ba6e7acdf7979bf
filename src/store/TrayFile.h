/// \file
/// Record-level access to one tray: its index file (".XM1": head with the
/// tray properties, then one 170-byte record per mail) and its text file
/// (".XM0": the mails one after another, CR LF line ends, every stored
/// offset a byte offset of the file on disk).
///
/// Tray files are never held open between operations: every call opens what
/// it needs, under a shared lock to read or an exclusive one to write, and
/// closes it before returning. The sessions (TrayReader, TrayAppender,
/// TrayTextReader) are the exception and end when they are destroyed. The
/// index is always locked before the text file.
///
/// Results follow the store's rule: the store reports nothing to the user;
/// calls return success, a count or a ReadResult and the command reports.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "store/IndexRecord.h"
#include "store/TrayAppender.h"
#include "store/TrayName.h"
#include "store/TrayProperties.h"
#include "store/TrayReader.h"
#include "store/TrayRecord.h"
#include "store/TrayTextReader.h"

namespace zorvik::core {
class Messages;
}

namespace zorvik::store {

/// Outcome of a change that the 15-reference limit can refuse.
enum class LinkResult { Done, LimitReached, Failed };

class TrayFile {
public:
  /// The deletion marker that overwrites a deleted mail's separator line;
  /// readers recognise its first 17 characters.
  static constexpr std::string_view kDeletionMarker = "From DeleteZorvik\r\n";

  TrayFile(StoreLocation store, std::string name);

  const std::string& name() const { return name_; }
  const StoreLocation& store() const { return store_; }
  /// The path of one of the tray's files (a file type number of TrayName).
  std::string path(int fileType) const;

  /// Creates or truncates the tray: an index of just the head with
  /// `properties`, and an empty text file. Inheritance from a ".Default"
  /// tray is the caller's: it passes the inherited properties.
  bool create(const TrayProperties& properties) const;
  /// Creates the tray as the new-tray command does: with the properties of
  /// the nearest ".Default" tray of its cabinet or above, description empty.
  bool createInheriting() const;
  /// True when the index can be opened for reading and its head read.
  bool exists() const;
  std::optional<TrayProperties> properties() const;
  /// Writes a new index with `properties` under the ".tmp" name, copies the
  /// records after it and puts it in place of the old one.
  bool rewriteProperties(const TrayProperties& properties) const;
  /// Writes the flags word, display period and user display days of
  /// `properties` in place into the head (after an append).
  bool writeHeadValues(const TrayProperties& properties) const;

  /// Number of records, deleted ones and links included.
  std::optional<std::uint32_t> recordCount() const;
  /// Records read as live; with `unreadOnly`, those without the opened bit.
  std::optional<std::uint32_t> count(bool unreadOnly) const;

  std::optional<TrayReader> reader() const;
  std::optional<TrayAppender> appender() const;
  /// Record `index`, a link followed into its target.
  ReadResult read(std::uint32_t index, TrayRecord& out) const;

  std::optional<std::uint32_t> appendRecord(const IndexRecord& record) const;
  std::optional<std::uint32_t> appendMail(const MailText& mail, const IndexRecord& record) const;
  /// Overwrites record `index` (which must exist).
  bool writeRecord(std::uint32_t index, const IndexRecord& record) const;
  /// Writes a link to mail `targetIndex` of `targetTray` at `index`, or
  /// appends it when `index` is empty; returns where it was written.
  std::optional<std::uint32_t> writeLink(std::optional<std::uint32_t> index,
                                         std::string_view targetTray,
                                         std::uint32_t targetIndex) const;

  /// These work on the record as stored (a link record's own word); callers
  /// that act on the mail behind a link use the TrayRecord's link target.
  bool changeFlags(std::uint32_t index, std::uint32_t mask, bool set) const;
  bool setMark(std::uint32_t index, int mark) const;
  /// Adds `change` (+1 or -1) to the reference count: refused at 15 when
  /// adding, never below 0.
  LinkResult changeReferenceCount(std::uint32_t index, int change) const;
  bool clearReferenceCount(std::uint32_t index) const;

  /// The header lines of mail `index` (a link's from its target), joined
  /// with CR LF, without the separator line.
  std::optional<std::string> headerLines(std::uint32_t index) const;
  /// A session returning the body lines of mail `index`.
  std::optional<TrayTextReader> bodyReader(std::uint32_t index) const;

  /// Sets the deleted bit; when no record stays live, empties the tray.
  bool markDeleted(std::uint32_t index) const;
  /// Deletes a live stored mail (not a link): the deleted bit (on the disk
  /// before anything else goes), then the deletion marker over its
  /// separator, and, when asked, its attachment folder unless another live
  /// mail of the store names it too. False, the mail unchanged with its
  /// folder, when a file cannot be opened; false too when writing the marker
  /// failed, but then the mail is deleted all the same.
  bool deleteMail(std::uint32_t index, bool deleteAttachments) const;
  /// A link: the target's count goes down and the link is marked deleted.
  /// A record that reads as deleted (a broken link too) gets its deleted bit
  /// on disk. A live mail is left alone. End at the end of the index.
  ReadResult releaseLink(std::uint32_t index) const;
  /// Writes the deletion marker over the separator of deleted mail `record`
  /// in the text file held by `text`. Only a real separator is overwritten,
  /// and only when the marker ends before the body; true when nothing was
  /// to be written.
  static bool writeDeletionMarker(const platform::FileLock& text, const IndexRecord& record);
  /// Links mail `index` of this tray into `destination`: the mail's count
  /// goes up by one and a link is appended there. LimitReached (the caller
  /// shows TooManyLinks) leaves both trays unchanged.
  LinkResult linkInto(std::uint32_t index, const TrayFile& destination,
                      std::uint32_t* newIndex = nullptr) const;
  /// The same, showing error TooManyLinks with this tray's name when
  /// the limit refuses the link, as the link command does.
  LinkResult linkInto(std::uint32_t index, const TrayFile& destination, core::Messages& messages,
                      std::uint32_t* newIndex = nullptr) const;

  /// Empties both files, keeping the properties; the attachment folders of
  /// the mails are left alone (they go with deleteMail and the clean-up).
  bool empty() const;
  /// Empties the tray when no record of it is live.
  bool emptyWhenNothingLive() const;
  /// With both files of a tray held (the index locked first): when no record
  /// is live, cuts the text file and the index back to the head under those
  /// same locks, so that nothing appended since the check is cut away. True
  /// when something is live or the tray was emptied.
  static bool emptyWhenNothingLive(TrayIndex& index, const platform::FileLock& text);
  /// Renames the text and index files to tray `newName`; refused when a tray
  /// of that name exists. The index is renamed only after the text file.
  bool rename(std::string_view newName) const;

  /// Marks the first mail as sent again: "Zorvik: 100..." becomes
  /// "Zorvik: 101..." and a Date line of the same length as `dateLine`
  /// is replaced by it, all in place. False for a header line longer than
  /// 4086 characters (a "KRDX: " line excepted).
  bool restampFirstMail(std::string_view dateLine) const;

private:
  std::optional<TrayIndex> openIndex(platform::FileAccess access) const;
  bool mayWrite(int fileType) const;
  std::string textPathOf(const TrayRecord& record) const;

  StoreLocation store_;
  std::string name_;
};

}  // namespace zorvik::store
