/// \file
/// The compose window's address completion ("検索"): the text of an address
/// field is resolved through the address book and replaced by the first
/// choice in name-and-address form ("山田 太郎 <taro@example.jp>"). Pressing
/// again on the field as completed resolves the same query again and gives
/// the next choice, round to the first after the last, so the user steps
/// through the choices; any other text starts a new query.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "addressbook/AddressBook.h"

namespace zorvik::addressbook {

class AddressCompleter {
public:
  /// `book` must outlive the completer.
  explicit AddressCompleter(AddressBook& book) : book_(book) {}

  /// The field's new text; empty when nothing matches (the field stays as
  /// it is and the window beeps).
  std::optional<std::string> complete(std::string_view fieldText);

  /// "name <address>", the name quoted when it holds a character that would
  /// split an address list; the bare address without a name.
  static std::string resolvedForm(const message::MailAddress& choice);

private:
  AddressBook& book_;
  std::string query_;
  std::string lastResult_;
  std::size_t next_ = 0;
};

}  // namespace zorvik::addressbook
