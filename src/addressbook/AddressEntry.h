/// \file
/// One person of the address book as the rest of Zorvik sees it, in
/// Shift_JIS: display name, its reading, nickname, mail addresses, title,
/// organisation (company, department, office), note. The template tags "[WAB-NAME]",
/// "[WAB-TITL]", "[WAB-OFIC]", "[WAB-SECT]", "[WAB-CORP]" and "[WAB-MEMO]"
/// take their values from it.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zorvik::addressbook {

struct AddressEntry {
  std::string name;      ///< the display name (vCard FN)
  /// How the name reads (SORT-STRING; else the phonetic names other
  /// programs write, X-PHONETIC-LAST-NAME and -FIRST-NAME or the
  /// X-IRMC-N sound of Japanese phones)
  std::string reading;
  std::string nickname;  ///< the first NICKNAME
  std::vector<std::string> addresses;  ///< every EMAIL, in order
  std::string title;       ///< TITLE
  std::string company;     ///< ORG, first part
  std::string department;  ///< ORG, second part
  std::string office;      ///< ORG, third part
  std::string note;        ///< NOTE

  /// The entry the book makes for a name and an address: display name and
  /// nickname the name (the address when the name is empty), the one
  /// address.
  static AddressEntry proposed(std::string_view name, std::string_view address);

  /// The value of a "[WAB-*]" template tag; empty for another tag.
  std::optional<std::string> templateValue(std::string_view tag) const;

  friend bool operator==(const AddressEntry&, const AddressEntry&) = default;
};

}  // namespace zorvik::addressbook
