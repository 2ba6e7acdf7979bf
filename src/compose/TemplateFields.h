/// \file
/// The field keywords of templates and of the user-defined quote prefix:
/// bracketed names that stand for values of the mail a draft answers
/// ("[From:]", "[name]", "[Date:]", ...) and for what the address book knows
/// of its other party ("[WAB-NAME]", ...). Keywords are compared without
/// regard to case over the whole bracketed text; without a source mail (a
/// new mail) every field is empty.
///
/// Scanning is Shift_JIS aware: "[" and "]" are also possible second bytes
/// of double-byte characters, and such a byte never opens or closes a
/// keyword.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "addressbook/AddressBook.h"
#include "compose/SourceMail.h"

namespace zorvik::compose {

class TemplateFields {
public:
  /// The replacement for a bracketed keyword (brackets included), or
  /// nothing when it is not a keyword: it is then copied as text.
  using Lookup = std::function<std::optional<std::string>(std::string_view keyword)>;

  /// `source` and `book` (either may be null: no mail, no address book)
  /// must outlive the fields; dates are written in the zone `zoneHours`
  /// east of UTC.
  TemplateFields(const SourceMail* source, int zoneHours, addressbook::AddressBook* book)
      : source_(source), zoneHours_(zoneHours), book_(book) {}

  /// The value of field keyword `keyword`, or nothing when it is none.
  std::optional<std::string> value(std::string_view keyword) const;

  /// `text` with every field keyword replaced.
  std::string expand(std::string_view text) const;

  /// `text` with every "[...]" that `lookup` knows replaced. An unknown
  /// keyword leaves its "[" as text and the scan goes on after it, so
  /// "[[name]" keeps the first bracket and replaces the rest.
  static std::string expandKeywords(std::string_view text, const Lookup& lookup);

  /// An address list as a record keeps it (one address a line) on one
  /// line: the lines joined with ",", trailing blanks removed.
  static std::string joinedList(std::string_view list);

private:
  std::optional<std::string> addressBookValue(std::string_view keyword) const;

  const SourceMail* source_;
  int zoneHours_;
  addressbook::AddressBook* book_;
};

}  // namespace zorvik::compose
