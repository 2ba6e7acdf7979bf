/// \file
/// The address book as the compose window and the templates use it, over
/// any store of addresses (on Linux a vCard file, VCardAddressBook). Text
/// in and out is Shift_JIS.
#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "addressbook/AddressEntry.h"
#include "message/MailAddress.h"

namespace zorvik::addressbook {

class AddressBook {
public:
  virtual ~AddressBook() = default;

  /// The addresses that what the user typed may stand for, best first: one
  /// choice per address of each entry whose display name, nickname, family
  /// or given name, its reading or a word of it, a word of its display
  /// name, or one of its addresses
  /// begins with `query` (ASCII letters compared without regard to case);
  /// entries where one of these equals the query come first. Empty when
  /// nothing matches.
  virtual std::vector<message::MailAddress> resolve(std::string_view query) = 0;
  /// The entry holding `address` (compared without regard to case).
  virtual std::optional<AddressEntry> findByAddress(std::string_view address) = 0;
  /// Adds an entry for `name` and `address`; false when it could not be
  /// written.
  virtual bool create(std::string_view name, std::string_view address) = 0;
  /// Adds `entry` as a new entry; false when it has no address or could
  /// not be written.
  virtual bool create(const AddressEntry& entry) = 0;
  /// The entry holding `address` (the first, when several do) takes the
  /// fields of `entry`; its other data and every other entry stay as they
  /// were. False when no entry holds `address` or the book could not be
  /// written (then nothing changed).
  virtual bool update(std::string_view address, const AddressEntry& entry) = 0;
};

}  // namespace zorvik::addressbook
