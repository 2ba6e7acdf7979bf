/// \file
/// What a template may ask of the address book about the other party of a
/// mail (the keywords "[WAB-NAME]", "[WAB-TITL]", "[WAB-OFIC]",
/// "[WAB-SECT]", "[WAB-CORP]", "[WAB-MEMO]"). The address book fills this
/// in; until it is there, NoAddressBook leaves every keyword empty.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zorvik::compose {

/// One person of the address book, Shift_JIS.
struct AddressBookEntry {
  std::string name;         ///< [WAB-NAME]
  std::string title;        ///< [WAB-TITL]
  std::string office;       ///< [WAB-OFIC]
  std::string section;      ///< [WAB-SECT]
  std::string corporation;  ///< [WAB-CORP]
  std::string memo;         ///< [WAB-MEMO]
};

class AddressBookLookup {
public:
  virtual ~AddressBookLookup() = default;
  /// The entry of mail address `address`, if the book holds one.
  virtual std::optional<AddressBookEntry> find(std::string_view address) const = 0;
};

class NoAddressBook final : public AddressBookLookup {
public:
  std::optional<AddressBookEntry> find(std::string_view) const override { return std::nullopt; }
};

}  // namespace zorvik::compose
