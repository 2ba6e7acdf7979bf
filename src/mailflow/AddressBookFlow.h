/// \file
/// The address book of an open document: the vCard file "addressbook.vcf"
/// in the store root, used only while settings item 116 is on. With the
/// item off there is no address book: completion, registration and the
/// template fields do nothing, as when the platform's book is missing.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "addressbook/VCardAddressBook.h"

namespace zorvik::mailflow {

class Document;

class AddressBookFlow {
public:
  /// The book; null when item 116 is off.
  static std::unique_ptr<addressbook::VCardAddressBook> open(const Document& document);
  /// Where the book's file lies.
  static std::string pathOf(const Document& document);

  /// Asked once for each address about to be registered, with the entry
  /// that would be stored (its name and address): the entry to store as
  /// the user left it, or none to skip the address.
  using ConfirmEntry =
      std::function<std::optional<addressbook::AddressEntry>(const addressbook::AddressEntry& proposed)>;

  /// Registers the addresses of the send groups (To, Cc, Bcc) of `tray`:
  /// each address not yet in the book becomes an entry of its name and
  /// address, or of what `confirm` makes of it (none: as proposed). The
  /// first address of each entry created, in order; empty when the tray
  /// cannot be read or an entry could not be written (the entries before
  /// it stay).
  static std::optional<std::vector<std::string>> registerTray(const Document& document,
                                                              addressbook::AddressBook& book,
                                                              const std::string& tray,
                                                              const ConfirmEntry& confirm = {});
};

}  // namespace zorvik::mailflow
