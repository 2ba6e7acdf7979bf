/// \file
/// One vCard as read from a file: its properties in file order, every one
/// kept, so an entry written back holds all it held (telephone numbers,
/// addresses, photos, the properties of other programs). Text is UTF-8 here
/// as in the file; view() gives the Shift_JIS form the program works with.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "addressbook/AddressEntry.h"
#include "addressbook/VCardProperty.h"

namespace zorvik::addressbook {

struct VCardEntry {
  std::vector<VCardProperty> properties;  ///< without BEGIN, VERSION and END

  /// The first property named `name`; nullptr when there is none.
  const VCardProperty* first(std::string_view name) const;
  /// The mail addresses of its EMAIL properties, in order (UTF-8).
  std::vector<std::string> addresses() const;
  /// How its name reads (UTF-8): SORT-STRING, else the phonetic family and
  /// given names, else the X-IRMC-N sound; "" when it has none.
  std::string reading() const;
  /// The entry in Shift_JIS.
  AddressEntry view() const;

  /// Takes over the fields of `edited` (Shift_JIS) that differ from view().
  /// A changed field rewrites its own properties only (FN, SORT-STRING,
  /// the first NICKNAME, EMAIL, TITLE, the first three parts of ORG,
  /// NOTE), so every other property stays as it was, byte for byte; an N
  /// made from the display name follows it. An address kept keeps its
  /// property (types, group), a new one is an Internet address, and the
  /// addresses stand where the first one stood, in the edited order. A new
  /// reading replaces the phonetic names it was read from. An emptied
  /// field loses its property.
  void apply(const AddressEntry& edited);

  /// A new entry as the address book creates one for a name and an
  /// address (Shift_JIS): display name and nickname the name (the address
  /// when the name is empty), one Internet mail address.
  static VCardEntry create(std::string_view name, std::string_view address);

private:
  /// The first property `name` takes `value` (escaped), added at the end
  /// when missing; an empty `value` removes every property of the name.
  void setValue(std::string_view name, const std::string& value);
  /// The EMAIL properties become `wanted` (UTF-8), in that order.
  void setAddresses(const std::vector<std::string>& wanted);
};

}  // namespace zorvik::addressbook
