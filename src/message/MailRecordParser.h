/// \file
/// Fills a MailRecord from header lines: the table of fields Zorvik reads,
/// address lists split one address a line, thread keys, Zorvik's own lines,
/// and the values derived after the whole header is read (who the mail is
/// from or to, what the list shows, the list tag). Also the address
/// comparisons that need the user's domain aliases.
///
/// Lenient by design: a line that matches nothing is ignored, a broken value
/// gives an empty or default field, an unreadable date the time `now`. No
/// input makes it fail; time and memory are linear in the input.
#pragma once

#include <ctime>
#include <string>
#include <string_view>

#include "core/AliasTable.h"
#include "message/MailRecord.h"

namespace zorvik::core {
class SettingsFile;
}

namespace zorvik::message {

/// What parsing needs from the personal settings.
struct ParseContext {
  core::AliasTable aliases;  // domain aliases applied to every parsed address
  int zoneHours = 9;         // the user's zone, hours east of UTC
  std::time_t now = 0;       // stands in for a Date that cannot be read
  std::string userAddress;   // the user's own address (item 502)

  /// Aliases, zone and user address from `settings`.
  static ParseContext fromSettings(const core::SettingsFile& settings, std::time_t now);
};

class MailRecordParser {
public:
  explicit MailRecordParser(ParseContext context) : context_(std::move(context)) {}

  const ParseContext& context() const { return context_; }

  /// Interprets one unfolded, decoded header line. False for an empty line
  /// (or one beginning with CR): the end of the header.
  bool parseLine(MailRecord& record, std::string_view line) const;

  /// Parses a header block held in a string, lines ended by `lineEnd` ("\r\n"
  /// or "\n"); a line beginning with a space or tab continues the previous
  /// one (the line break removed, its blanks kept). Stops at the first
  /// empty line. Returns the number of unfolded lines parsed. Does not reset
  /// or post-process: drafts and templates parse into a prepared record.
  std::size_t parseText(MailRecord& record, std::string_view text, std::string_view lineEnd = "\r\n") const;

  /// The header of a stored mail read back from its tray (lines joined with
  /// CR LF): reset, parse, post-process.
  void reparse(MailRecord& record, std::string_view storedHeader, std::string_view identity = {}) const;

  /// The values derived once the whole header is read: sent-by-user and
  /// to-user bits, From name, address and local part, the list address and
  /// name, the list tag. `identity` is the user's address for this mail when
  /// the caller has one; otherwise the context's user address is used.
  void postProcess(MailRecord& record, std::string_view identity = {}) const;

  /// True when the first addresses of `a` and `b` (aliases applied) are
  /// equal without regard to case. An empty address is never the same as
  /// anything, so "no address" never matches "no address".
  bool sameAddress(std::string_view a, std::string_view b) const;

  /// True when a line of `list` (one address a line, CR LF or LF between
  /// them; the first 1000 lines) has the same first address as `address`.
  /// The matching line is stored in `matched` when given.
  bool findAddressInList(std::string_view address, std::string_view list,
                         std::string* matched = nullptr) const;

private:
  ParseContext context_;
};

}  // namespace zorvik::message
