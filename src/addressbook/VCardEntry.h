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
  /// The entry in Shift_JIS.
  AddressEntry view() const;

  /// A new entry as the address book creates one for a name and an
  /// address (Shift_JIS): display name and nickname the name (the address
  /// when the name is empty), one Internet mail address.
  static VCardEntry create(std::string_view name, std::string_view address);
};

}  // namespace zorvik::addressbook
