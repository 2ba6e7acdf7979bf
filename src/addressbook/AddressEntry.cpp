#include "addressbook/AddressEntry.h"

namespace zorvik::addressbook {

AddressEntry AddressEntry::proposed(std::string_view name, std::string_view address) {
  AddressEntry entry;
  entry.name = std::string(name.empty() ? address : name);
  entry.nickname = entry.name;
  entry.addresses = {std::string(address)};
  return entry;
}

std::optional<std::string> AddressEntry::templateValue(std::string_view tag) const {
  if (tag == "[WAB-NAME]") return name;
  if (tag == "[WAB-TITL]") return title;
  if (tag == "[WAB-OFIC]") return office;
  if (tag == "[WAB-SECT]") return department;
  if (tag == "[WAB-CORP]") return company;
  if (tag == "[WAB-MEMO]") return note;
  return std::nullopt;
}

}  // namespace zorvik::addressbook
